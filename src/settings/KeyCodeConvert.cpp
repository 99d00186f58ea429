#include "KeyCodeConvert.h"

#include "modSystem.h"

#include <QStringList>
#include <limits>

namespace {

const QString kProcKeyCodeConvert = QStringLiteral("modGeneral.KeyCodeConvert");

constexpr int kCodeCount = 10;

// The ANSI code of a character: Latin-1 characters keep their code, anything the code page
// cannot hold becomes "?", as the platform's conversion does.
qint16 ansiCode(QChar c) {
    return c.unicode() <= 0xFF ? static_cast<qint16>(c.unicode()) : qint16{'?'};
}

// The leading decimal number of text (0 when it has none), saturated well beyond any key code.
qint64 leadingNumber(const QString& text) {
    qint64 number = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            break;
        }
        number = qMin<qint64>(number * 10 + (c.unicode() - u'0'), 1'000'000);
    }
    return number;
}

} // namespace

namespace modGeneral {

qint16 KeyCodeConvert(const QString& keyText, std::array<qint16, 10>& codes) {
    const QStringList words = keyText.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    // Filled on a copy: a text that fails leaves every code as it was, not only those past the count.
    std::array<qint16, 10> filled = codes;
    qint16 n = 0;
    for (qsizetype w = 0; w < words.size() && w < kCodeCount; ++w) {
        const QString& word = words[w];
        if (!word.startsWith(QLatin1Char('{'))) {
            filled[n++] = ansiCode(word.front());
            continue;
        }
        const QString inner = word.size() > 2 ? word.mid(1, word.size() - 2) : QString();
        if (inner.startsWith(QLatin1Char('F'))) {
            const qint64 code = 111 + leadingNumber(inner.mid(1));
            if (code > std::numeric_limits<qint16>::max()) {
                modSystem::WriteErrorLog(kProcKeyCodeConvert, {VornError::Overflow, QStringLiteral("Overflow")});
                return 0;
            }
            filled[n++] = static_cast<qint16>(code);
        } else if (inner == QLatin1String("Space")) {
            filled[n++] = 32;
        }
    }
    codes = filled;
    return n;
}

} // namespace modGeneral
