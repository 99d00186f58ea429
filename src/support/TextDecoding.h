#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <optional>

class QIODevice;

namespace TextDecoding {

enum class Encoding { Utf8, Utf16LE, Utf16BE, Utf32LE, Utf32BE, ShiftJis, EucJp, Windows1252 };

// The encoding of the bytes a device holds, decided over all of them, read piece by piece (a
// single byte near the end may decide): a byte-order mark names UTF-16 or UTF-32; otherwise UTF-8
// when the bytes are valid UTF-8; otherwise Shift_JIS or EUC-JP when a statistical detector names
// it and the text decodes cleanly, or when the Japanese reading is clean and plausible and the
// Windows-1252 reading is not (kana in it, bytes Windows-1252 lacks, or runs of symbols where a
// European text has accented letters); otherwise Windows-1252. The device must allow seeking; it
// is left at its start. Nothing when it cannot be read (the device's error string says why).
std::optional<Encoding> detect(QIODevice& device);

// Bytes into text in one encoding, piece by piece: a character split between two pieces comes
// out whole, and a byte-order mark at the start is dropped.
class Decoder {
public:
    explicit Decoder(Encoding encoding);

    // Appends the text of the next piece of bytes.
    void append(QByteArrayView bytes, QString& text);

    // True once a piece held bytes that are not text in the encoding.
    bool hasError() const { return m_decoder.isValid() && m_decoder.hasError(); }

private:
    Encoding m_encoding;
    QStringDecoder m_decoder;
    bool m_start = true;
};

// Bytes from a file or the clipboard as text, by the rules of detect. clean, when given, tells
// whether every byte decoded (false: some became replacement characters).
QString decode(const QByteArray& bytes, bool* clean = nullptr);

} // namespace TextDecoding
