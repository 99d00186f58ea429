#pragma once

#include <QString>
#include <QVariantList>

// Translated texts and message formatting.
namespace modGeneral {

// "\n" (backslash, n) becomes CR LF; then %1, %2 ... take the arguments in that order, so %1 is
// replaced before %10.
QString MessageFormat(const QString& text, const QVariantList& arguments = {});

} // namespace modGeneral
