#include "TextDecoding.h"

#include <QStringDecoder>
#include <memory>
#include <uchardet.h>

namespace {

// Windows-1252 by table, so decoding does not depend on which codecs Qt was built with.
QString decode1252(const QByteArray& bytes) {
    static const char16_t high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString text;
    text.resize(bytes.size());
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = (b >= 0x80 && b < 0xA0) ? QChar(high[b - 0x80]) : QChar(b);
    }
    return text;
}

// Windows-1252 leaves five byte values undefined; a text holding one of them is not 1252.
bool decodesAs1252(const QByteArray& bytes) {
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) {
            return false;
        }
    }
    return true;
}

// The charset a statistical detector finds for bytes, upper case; empty when it has no answer.
QByteArray detectedCharset(const QByteArray& bytes) {
    const std::unique_ptr<std::remove_pointer_t<uchardet_t>, decltype(&uchardet_delete)> detector(uchardet_new(),
                                                                                                  &uchardet_delete);
    if (!detector || uchardet_handle_data(detector.get(), bytes.constData(), static_cast<size_t>(bytes.size())) != 0) {
        return {};
    }
    uchardet_data_end(detector.get());
    return QByteArray(uchardet_get_charset(detector.get())).toUpper();
}

// The text in a Japanese encoding, or nothing when the bytes are not clean text in it.
std::optional<QString> decodeJapanese(const QByteArray& bytes, const char* encoding) {
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    if (!decoder.isValid()) {
        return std::nullopt;
    }
    QString text = decoder.decode(bytes);
    if (decoder.hasError() || text.contains(QChar::ReplacementCharacter)) {
        return std::nullopt;
    }
    return text;
}

// Kana, Japanese punctuation or full-width letters: characters a European code page read as
// Japanese would hardly produce (their lead bytes 0x81-0x83 are rare symbols in Windows-1252),
// unlike kanji, which an apostrophe followed by a letter can turn into.
bool holdsKana(const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x3000 && u <= 0x30FF) || (u >= 0xFF01 && u <= 0xFF5E)) {
            return true;
        }
    }
    return false;
}

} // namespace

namespace TextDecoding {

QString decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        if (text.startsWith(QChar(0xFEFF))) {
            text.remove(0, 1);
        }
        return text;
    }
    // The generator's files come from English and Japanese systems: the detector tells the two
    // Japanese encodings from a European one. Its guesses among the European code pages are
    // unreliable on short texts (it takes "naïve" for Latin-2), so every other answer reads
    // Windows-1252, the superset of Latin-1 these files use.
    const QByteArray charset = detectedCharset(bytes);
    if (charset == "SHIFT_JIS" || charset == "CP932" || charset == "WINDOWS-31J") {
        if (const auto japanese = decodeJapanese(bytes, "Shift_JIS")) {
            return *japanese;
        }
    } else if (charset == "EUC-JP") {
        if (const auto japanese = decodeJapanese(bytes, "EUC-JP")) {
            return *japanese;
        }
    }
    // The detector needs more text than a short comment gives: a clean Japanese reading with kana
    // in it decides, and so do bytes that Windows-1252 cannot hold.
    const auto shiftJis = decodeJapanese(bytes, "Shift_JIS");
    if (shiftJis && (holdsKana(*shiftJis) || !decodesAs1252(bytes))) {
        return *shiftJis;
    }
    if (const auto eucJp = decodeJapanese(bytes, "EUC-JP"); eucJp && holdsKana(*eucJp)) {
        return *eucJp;
    }
    return decode1252(bytes);
}

} // namespace TextDecoding
