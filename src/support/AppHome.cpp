#include "AppHome.h"

#include <QDir>
#include <QStandardPaths>

namespace AppHome {

QString path() {
    QString home = qEnvironmentVariable("VORNREADER_HOME");
    if (home.isEmpty()) {
        home = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/VornReader");
    }
    QDir().mkpath(home);
    return QDir::cleanPath(QDir(home).absolutePath());
}

QString resolve(const QString& fileName) {
    if (fileName.contains(QLatin1Char('/'))) {
        return fileName;
    }
    return path() + QLatin1Char('/') + fileName;
}

QString tempPath() {
    const QString temp = path() + QStringLiteral("/Temp");
    QDir().mkpath(temp);
    return temp;
}

} // namespace AppHome
