#include "TextDecoding.h"

#include <QStringDecoder>

namespace {

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
    if (!decodesAs1252(bytes)) {
        QStringDecoder sjis("Shift_JIS", QStringConverter::Flag::Stateless);
        if (sjis.isValid()) {
            const QString japanese = sjis.decode(bytes);
            if (!sjis.hasError() && !japanese.contains(QChar::ReplacementCharacter)) {
                return japanese;
            }
        }
    }
    return decode1252(bytes);
}

} // namespace TextDecoding
