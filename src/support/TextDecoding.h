#pragma once

#include <QByteArray>
#include <QString>

namespace TextDecoding {

// Bytes from a file or the clipboard as text: UTF-8 when the bytes are valid UTF-8; otherwise
// Shift_JIS or EUC-JP when a statistical detector finds Japanese text that decodes cleanly (or
// Shift_JIS when Windows-1252 cannot hold the bytes); otherwise Windows-1252.
QString decode(const QByteArray& bytes);

} // namespace TextDecoding
