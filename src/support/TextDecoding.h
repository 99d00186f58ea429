#pragma once

#include <QByteArray>
#include <QString>

namespace TextDecoding {

// Bytes from a file or the clipboard as text: UTF-8 when the bytes are valid UTF-8; otherwise
// Shift_JIS when it decodes cleanly and Windows-1252 would not; otherwise Windows-1252.
QString decode(const QByteArray& bytes);

} // namespace TextDecoding
