#include "HomeSeeder.h"

#include "AppHome.h"
#include "DbError.h"
#include "modDataBase.h"
#include "modSystem.h"

#include <QDir>
#include <QFile>

namespace HomeSeeder {

void SeedApplicationHome() {
    const QString home = AppHome::path();
    QDir().mkpath(home + QStringLiteral("/System"));
    for (const char* name : {"TransEnglish.ini", "TransJapanese.ini", "VornReader.html"}) {
        const QString target = home + QStringLiteral("/System/") + QLatin1String(name);
        if (!QFileInfo::exists(target)) {
            QFile::copy(QStringLiteral(":/System/") + QLatin1String(name), target);
            QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
        }
    }
    const QString templatePath = AppHome::resolve(QLatin1String(TemplateName));
    if (!QFileInfo::exists(templatePath)) {
        try {
            modDataBase::CreateLibrary(templatePath);
        } catch (const DbError& error) {
            QFile::remove(templatePath);
            modSystem::WriteErrorLog(QStringLiteral("modGeneral.SeedApplicationHome"), error.info());
        }
    }
}

} // namespace HomeSeeder
