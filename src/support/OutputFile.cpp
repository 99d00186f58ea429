#include "OutputFile.h"

#include "AppHome.h"
#include "FilePath.h"

#include <QFile>

namespace {

std::function<bool(const QString&)>& libraryCheck() {
    static std::function<bool(const QString&)> check;
    return check;
}

// Whether the file holds a library, by the check the program installed. Without one, every SQLite
// file is taken for a library: a refusal too many costs less than an overwritten library.
bool holdsLibrary(const QString& path) {
    if (libraryCheck()) {
        return libraryCheck()(path);
    }
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(16) == QByteArray("SQLite format 3\0", 16);
}

} // namespace

void OutputFile::setLibraryCheck(std::function<bool(const QString& path)> check) {
    libraryCheck() = std::move(check);
}

OutputFile::OutputFile(const QString& path) : m_path(path), m_target(FilePath::resolve(path)), m_file(m_target) {}

OutputFile::Refusal OutputFile::check(const QString& path) {
    const QString target = FilePath::resolve(path);
    if (FilePath::sameFile(target, AppHome::resolve(QString::fromUtf16(AppHome::TemplateName)))) {
        return Refusal::Template;
    }
    return holdsLibrary(target) ? Refusal::Library : Refusal::None;
}

bool OutputFile::open() {
    m_refusal = check(m_target);
    return m_refusal == Refusal::None && m_file.open(QIODevice::WriteOnly);
}

QString OutputFile::pendingName() const {
    return QStringLiteral("/proc/self/fd/%1").arg(m_file.handle());
}

bool OutputFile::commit() {
    // The target may have become a library while the content was written.
    m_refusal = check(m_target);
    if (m_refusal != Refusal::None) {
        m_file.cancelWriting();
        return false;
    }
    return m_file.commit();
}

int OutputFile::refusalKey() const {
    switch (m_refusal) {
    case Refusal::Library:
        return 40161;
    case Refusal::Template:
        return 40162;
    case Refusal::None:
        break;
    }
    return 0;
}
