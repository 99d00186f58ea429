#include "FilePath.h"

#include "Platform.h"

#include <QDir>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace FilePath {

QString resolve(const QString& path) {
    if (path.isEmpty()) {
        return {};
    }
    // Absolute but not cleaned: "link/.." is the parent of the link's target, not the current folder.
    const QString absolute = QDir::isAbsolutePath(path) ? path : QDir::currentPath() + QLatin1Char('/') + path;
    const QString canonical = QFileInfo(absolute).canonicalFilePath();
    if (!canonical.isEmpty()) {
        return canonical;
    }
    const qsizetype slash = absolute.lastIndexOf(QLatin1Char('/'));
    const QString name = absolute.mid(slash + 1);
    if (!name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")) {
        const QString folder = QFileInfo(slash == 0 ? QStringLiteral("/") : absolute.left(slash)).canonicalFilePath();
        if (!folder.isEmpty()) {
            return folder == QLatin1String("/") ? folder + name : folder + QLatin1Char('/') + name;
        }
    }
    return QDir::cleanPath(absolute);
}

bool sameFile(const QString& first, const QString& second) {
    std::error_code error;
    const bool same = std::filesystem::equivalent(Platform::nativePath(first), Platform::nativePath(second), error);
    return !error && same;
}

} // namespace FilePath
