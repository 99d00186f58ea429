#include "SettingText.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace {

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isHexDigit(QChar c) {
    return isDigit(c) || (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// Plain C-locale numbers: a group separator is no part of a number here.
double toDouble(const QString& text, bool* ok) {
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    return c.toDouble(text, ok);
}

int roundedInRange(double value, int min, int max) {
    const double rounded = std::nearbyint(value);
    if (!std::isfinite(rounded) || rounded < min || rounded > max) {
        throw SettingError({VornError::Overflow, QStringLiteral("Overflow")});
    }
    return static_cast<int>(rounded);
}

} // namespace

namespace SettingText {

QString colourText(quint32 colour) {
    return QStringLiteral("&H") + QStringLiteral("%1").arg(colour, 8, 16, QLatin1Char('0')).toUpper();
}

std::optional<quint32> colourValue(const QString& text) {
    const QString t = text.trimmed();
    if (t.size() < 3 || t.size() > 10 || !t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        return std::nullopt;
    }
    if (!std::all_of(t.begin() + 2, t.end(), isHexDigit)) {
        return std::nullopt;
    }
    return static_cast<quint32>(t.mid(2).toUInt(nullptr, 16));
}

QString booleanText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

bool booleanValue(const QString& text) {
    return text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
}

QString numberText(double value) {
    return QString::number(value, 'g', 15);
}

double leadingNumber(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t'))) {
        ++i;
    }
    const qsizetype start = i;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        ++i;
    }
    qsizetype digits = 0;
    for (; i < n && isDigit(text[i]); ++i) {
        ++digits;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        for (++i; i < n && isDigit(text[i]); ++i) {
            ++digits;
        }
    }
    if (digits == 0) {
        return 0;
    }
    qsizetype end = i;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-'))) {
            ++j;
        }
        if (j < n && isDigit(text[j])) {
            while (j < n && isDigit(text[j])) {
                ++j;
            }
            end = j;
        }
    }
    bool ok = false;
    const double value = toDouble(text.mid(start, end - start), &ok);
    return ok ? value : 0;
}

int leadingInteger(const QString& text, int min, int max) {
    return roundedInRange(leadingNumber(text), min, max);
}

int strictInteger(const QString& text, int min, int max) {
    const QString t = text.trimmed();
    bool ok = false;
    const double value = toDouble(t, &ok);
    if (!ok || !std::isfinite(value)) {
        throw SettingError({VornError::TypeMismatch, QStringLiteral("Type mismatch")});
    }
    return roundedInRange(value, min, max);
}

} // namespace SettingText
