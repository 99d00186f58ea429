#include "modGeneral.h"

namespace modGeneral {

QString MessageFormat(const QString& text, const QVariantList& arguments) {
    QString result = text;
    result.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        result.replace(QLatin1Char('%') + QString::number(i + 1), arguments[i].toString());
    }
    return result;
}

} // namespace modGeneral
