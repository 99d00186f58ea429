#include "TextDecoding.h"

#include <QBuffer>
#include <QIODevice>
#include <array>
#include <cstring>
#include <memory>
#include <uchardet.h>

namespace {

// Bytes are looked at in pieces of this size, so that a file of any length needs little memory.
constexpr qint64 kPiece = 1 << 20;

constexpr std::array<char16_t, 32> kHigh1252 = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Windows-1252 by table, so decoding does not depend on which codecs Qt was built with.
char16_t char1252(unsigned char b) {
    return (b >= 0x80 && b < 0xA0) ? kHigh1252[b - 0x80] : char16_t(b);
}

// Windows-1252 leaves five byte values undefined; a text holding one of them is not 1252.
bool undefinedIn1252(unsigned char b) {
    return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}

// Reads the device from its start piece by piece until take returns false or the bytes end;
// false when a read fails.
template <typename Take> bool readPieces(QIODevice& device, QByteArray& piece, Take take) {
    if (!device.seek(0)) {
        return false;
    }
    piece.resize(kPiece);
    for (;;) {
        const qint64 got = device.read(piece.data(), kPiece);
        if (got < 0) {
            return false;
        }
        if (got == 0 || !take(QByteArrayView(piece.constData(), got))) {
            return true;
        }
    }
}

// UTF-8 validity of bytes given piece by piece: no overlong forms, no surrogates, nothing past
// U+10FFFF, no sequence cut off at the end.
class Utf8Check {
public:
    bool feed(QByteArrayView bytes) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
        const auto* const end = p + bytes.size();
        while (p < end && m_valid) {
            if (m_pending == 0) {
                // Plain ASCII goes eight bytes at a time.
                while (end - p >= 8) {
                    quint64 word = 0;
                    std::memcpy(&word, p, 8);
                    if ((word & 0x8080808080808080ULL) != 0) {
                        break;
                    }
                    p += 8;
                }
                if (p == end) {
                    break;
                }
                start(*p++);
            } else {
                const unsigned char b = *p++;
                if (b < m_low || b > m_high) {
                    m_valid = false;
                }
                m_low = 0x80;
                m_high = 0xBF;
                --m_pending;
            }
        }
        return m_valid;
    }
    bool valid() const { return m_valid && m_pending == 0; }

private:
    void start(unsigned char b) {
        m_low = 0x80;
        m_high = 0xBF;
        if (b < 0x80) {
            return;
        }
        if (b >= 0xC2 && b <= 0xDF) {
            m_pending = 1;
        } else if (b >= 0xE0 && b <= 0xEF) {
            m_pending = 2;
            m_low = b == 0xE0 ? 0xA0 : 0x80;
            m_high = b == 0xED ? 0x9F : 0xBF;
        } else if (b >= 0xF0 && b <= 0xF4) {
            m_pending = 3;
            m_low = b == 0xF0 ? 0x90 : 0x80;
            m_high = b == 0xF4 ? 0x8F : 0xBF;
        } else {
            m_valid = false;
        }
    }

    bool m_valid = true;
    int m_pending = 0;
    unsigned char m_low = 0x80;
    unsigned char m_high = 0xBF;
};

// One Japanese reading of bytes given piece by piece: whether it is clean (every byte part of a
// character), whether it holds kana, Japanese punctuation or full-width letters (which a European
// code page read as Japanese hardly produces), and whether it holds characters a Japanese text
// from the generator would not (half-width katakana, which capital accented letters turn into,
// private-use or control characters).
class JapaneseReading {
public:
    explicit JapaneseReading(const char* encoding) : m_decoder(encoding) { m_clean = m_decoder.isValid(); }

    void feed(QByteArrayView bytes) {
        if (!m_clean) {
            return;
        }
        m_text.resize(m_decoder.requiredSpace(bytes.size()));
        const QChar* const end = m_decoder.appendToBuffer(m_text.data(), bytes);
        if (m_decoder.hasError()) {
            m_clean = false;
            return;
        }
        for (const QChar* c = m_text.constData(); c < end; ++c) {
            const char16_t u = c->unicode();
            if (u < 0x80) {
                continue;
            }
            if (u == 0xFFFD) {
                m_clean = false;
                return;
            }
            if ((u >= 0x3000 && u <= 0x30FF) || (u >= 0xFF01 && u <= 0xFF5E)) {
                m_kana = true;
            } else if ((u >= 0xFF61 && u <= 0xFF9F) || (u >= 0xE000 && u <= 0xF8FF) || u < 0xA0) {
                m_odd = true;
            }
        }
    }
    // A character cut off at the end makes the reading unclean: a line end after it cannot
    // complete it.
    void finish() { feed("\n"); }
    bool clean() const { return m_clean; }
    bool kana() const { return m_clean && m_kana; }
    bool plausible() const { return m_clean && !m_odd; }

private:
    QStringDecoder m_decoder;
    QString m_text;
    bool m_clean = true;
    bool m_kana = false;
    bool m_odd = false;
};

// The Windows-1252 reading of bytes given piece by piece. European text has accented letters
// among plain ones; a run of two or more characters beyond ASCII with a symbol among them ("“Œ‹ž"
// for 東京 in Shift_JIS) is what Japanese double-byte text looks like instead.
class Reading1252 {
public:
    Reading1252() {
        for (int b = 0x80; b < 0x100; ++b) {
            m_letter[b - 0x80] = QChar(char1252(static_cast<unsigned char>(b))).isLetter();
        }
    }
    void feed(QByteArrayView bytes) {
        for (const char c : bytes) {
            const auto b = static_cast<unsigned char>(c);
            if (b < 0x80) {
                endRun();
                continue;
            }
            m_defined = m_defined && !undefinedIn1252(b);
            ++m_run;
            m_runSymbol = m_runSymbol || !m_letter[b - 0x80];
        }
    }
    void finish() { endRun(); }
    bool defined() const { return m_defined; }
    bool plausible() const { return m_defined && m_plausible; }

private:
    void endRun() {
        if (m_run >= 2 && m_runSymbol) {
            m_plausible = false;
        }
        m_run = 0;
        m_runSymbol = false;
    }

    std::array<bool, 128> m_letter{};
    bool m_defined = true;
    bool m_plausible = true;
    int m_run = 0;
    bool m_runSymbol = false;
};

// The charset a statistical detector finds for the bytes, upper case; empty when it has none.
class CharsetDetector {
public:
    CharsetDetector() : m_detector(uchardet_new(), &uchardet_delete) {}
    void feed(QByteArrayView bytes) {
        if (m_detector && m_ok) {
            m_ok = uchardet_handle_data(m_detector.get(), bytes.data(), static_cast<size_t>(bytes.size())) == 0;
        }
    }
    QByteArray charset() {
        if (!m_detector || !m_ok) {
            return {};
        }
        uchardet_data_end(m_detector.get());
        return QByteArray(uchardet_get_charset(m_detector.get())).toUpper();
    }

private:
    std::unique_ptr<std::remove_pointer_t<uchardet_t>, decltype(&uchardet_delete)> m_detector;
    bool m_ok = true;
};

std::optional<TextDecoding::Encoding> byteOrderMark(QByteArrayView start) {
    using TextDecoding::Encoding;
    if (start.startsWith(QByteArrayView("\xFF\xFE\x00\x00", 4))) {
        return Encoding::Utf32LE;
    }
    if (start.startsWith(QByteArrayView("\x00\x00\xFE\xFF", 4))) {
        return Encoding::Utf32BE;
    }
    if (start.startsWith("\xFF\xFE")) {
        return Encoding::Utf16LE;
    }
    if (start.startsWith("\xFE\xFF")) {
        return Encoding::Utf16BE;
    }
    return std::nullopt;
}

} // namespace

namespace TextDecoding {

std::optional<Encoding> detect(QIODevice& device) {
    QByteArray piece;
    std::optional<Encoding> marked;
    Utf8Check utf8;
    bool first = true;
    const bool read = readPieces(device, piece, [&](QByteArrayView bytes) {
        if (first) {
            first = false;
            if ((marked = byteOrderMark(bytes))) {
                return false;
            }
        }
        return utf8.feed(bytes);
    });
    if (!read) {
        return std::nullopt;
    }
    if (marked) {
        return device.seek(0) ? marked : std::nullopt;
    }
    if (utf8.valid()) {
        return device.seek(0) ? std::optional(Encoding::Utf8) : std::nullopt;
    }

    // The generator's files come from English and Japanese systems: the detector tells the two
    // Japanese encodings from a European one. Its guesses among the European code pages are
    // unreliable on short texts (it takes "naïve" for Latin-2), so every other answer reads
    // Windows-1252, the superset of Latin-1 these files use. The detector needs more text than a
    // short comment gives, so the readings themselves decide next.
    CharsetDetector detector;
    JapaneseReading shiftJis("Shift_JIS");
    JapaneseReading eucJp("EUC-JP");
    Reading1252 windows1252;
    if (!readPieces(device, piece,
                    [&](QByteArrayView bytes) {
                        detector.feed(bytes);
                        shiftJis.feed(bytes);
                        eucJp.feed(bytes);
                        windows1252.feed(bytes);
                        return true;
                    }) ||
        !device.seek(0)) {
        return std::nullopt;
    }
    shiftJis.finish();
    eucJp.finish();
    windows1252.finish();
    const QByteArray charset = detector.charset();
    if ((charset == "SHIFT_JIS" || charset == "CP932" || charset == "WINDOWS-31J") && shiftJis.clean()) {
        return Encoding::ShiftJis;
    }
    if (charset == "EUC-JP" && eucJp.clean()) {
        return Encoding::EucJp;
    }
    if (shiftJis.kana() || (shiftJis.clean() && !windows1252.defined())) {
        return Encoding::ShiftJis;
    }
    if (eucJp.kana()) {
        return Encoding::EucJp;
    }
    if (!windows1252.plausible()) {
        if (shiftJis.plausible()) {
            return Encoding::ShiftJis;
        }
        if (eucJp.plausible()) {
            return Encoding::EucJp;
        }
    }
    return Encoding::Windows1252;
}

namespace {

QStringDecoder decoderFor(Encoding encoding) {
    switch (encoding) {
    case Encoding::Utf8:
        return QStringDecoder(QStringConverter::Utf8);
    case Encoding::Utf16LE:
        return QStringDecoder(QStringConverter::Utf16LE);
    case Encoding::Utf16BE:
        return QStringDecoder(QStringConverter::Utf16BE);
    case Encoding::Utf32LE:
        return QStringDecoder(QStringConverter::Utf32LE);
    case Encoding::Utf32BE:
        return QStringDecoder(QStringConverter::Utf32BE);
    case Encoding::ShiftJis:
        return QStringDecoder("Shift_JIS");
    case Encoding::EucJp:
        return QStringDecoder("EUC-JP");
    case Encoding::Windows1252:
        break;
    }
    return QStringDecoder();
}

} // namespace

Decoder::Decoder(Encoding encoding) : m_encoding(encoding), m_decoder(decoderFor(encoding)) {}

void Decoder::append(QByteArrayView bytes, QString& text) {
    const qsizetype old = text.size();
    if (m_encoding == Encoding::Windows1252) {
        text.resize(old + bytes.size());
        char16_t* out = reinterpret_cast<char16_t*>(text.data()) + old;
        for (const char c : bytes) {
            *out++ = char1252(static_cast<unsigned char>(c));
        }
    } else {
        text.resize(old + m_decoder.requiredSpace(bytes.size()));
        const QChar* const end = m_decoder.appendToBuffer(text.data() + old, bytes);
        text.resize(end - text.constData());
    }
    if (m_start && text.size() > old) {
        m_start = false;
        if (text.at(old) == QChar(0xFEFF)) {
            text.remove(old, 1);
        }
    }
}

QString decode(const QByteArray& bytes, bool* clean) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QString text;
    Decoder decoder(detect(buffer).value_or(Encoding::Windows1252));
    decoder.append(bytes, text);
    if (clean) {
        // Qt's UTF-32 decoder turns values beyond U+10FFFF into stray surrogates without an error.
        *clean = !decoder.hasError() && QStringView(text).isValidUtf16();
    }
    return text;
}

} // namespace TextDecoding
