#include "HomeSeeder.h"

#include "AppHome.h"
#include "DbError.h"
#include "modDataBase.h"
#include "modSystem.h"

#include <QDir>
#include <QFile>

namespace HomeSeeder {

namespace {

bool sameContent(const QString& a, const QString& b) {
    QFile first(a);
    QFile second(b);
    return first.open(QIODevice::ReadOnly) && second.open(QIODevice::ReadOnly) && first.readAll() == second.readAll();
}

} // namespace

void SeedApplicationHome() {
    const QString home = AppHome::path();
    QDir().mkpath(home + QStringLiteral("/System"));
    for (const char* name : {"TransEnglish.ini", "TransJapanese.ini", "VornReader.html"}) {
        const QString target = home + QStringLiteral("/System/") + QLatin1String(name);
        const QString shipped = QStringLiteral(":/System/") + QLatin1String(name);
        // The translation files are the caller's to edit and stay as they are; the help page
        // describes this program and follows it from version to version.
        if (QFileInfo::exists(target) && qstrcmp(name, "VornReader.html") == 0 && !sameContent(target, shipped)) {
            QFile::remove(target);
        }
        if (!QFileInfo::exists(target)) {
            QFile::copy(shipped, target);
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
