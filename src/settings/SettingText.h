#pragma once

#include "ErrorInfo.h"

#include <QString>
#include <optional>
#include <stdexcept>

// A settings value that cannot be converted; caught and reported by the procedure that read it.
class SettingError : public std::runtime_error {
public:
    explicit SettingError(const ErrorInfo& info) : std::runtime_error(info.description.toStdString()), m_info(info) {}
    const ErrorInfo& info() const { return m_info; }

private:
    ErrorInfo m_info;
};

// The text forms of settings values.
namespace SettingText {

// "&H" and exactly eight upper-case hexadecimal digits ("&H80000008", "&H00FF0000").
QString colourText(quint32 colour);
// The value of "&H" followed by one to eight hexadecimal digits, letter case ignored; nothing for
// any other text.
std::optional<quint32> colourValue(const QString& text);

// "True" or "False".
QString booleanText(bool value);
// True exactly when the text is "True" in any letter case.
bool booleanValue(const QString& text);

// A number in its shortest decimal form, fraction kept ("10.5", "14").
QString numberText(double value);
// The leading number of the text: blanks, an optional sign, digits with an optional fraction and
// exponent; 0 when the text does not start with a number.
double leadingNumber(const QString& text);

// The leading number rounded to an integer (halves to even). Throws SettingError (overflow) when
// it falls outside min ... max.
int leadingInteger(const QString& text, int min, int max);
// The whole text (blanks aside) read as a number and rounded like leadingInteger. Throws
// SettingError (type mismatch) for any other text, (overflow) outside min ... max.
int strictInteger(const QString& text, int min, int max);

} // namespace SettingText
