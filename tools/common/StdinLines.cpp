#include "StdinLines.h"

#include <QSocketNotifier>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Standard input is a pipe or a terminal: its end means the one who started the stand-in has gone.
// From /dev/null or a file it ends at once, and the stand-in stays.
bool inputFromSomeone() {
    struct stat info {};
    return isatty(STDIN_FILENO) ||
           (fstat(STDIN_FILENO, &info) == 0 && (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)));
}

} // namespace

StdinLines::StdinLines(QObject* parent) : QObject(parent) {
    m_notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &StdinLines::readAvailable);
}

void StdinLines::say(const QString& line) {
    std::fputs(line.toUtf8().append('\n').constData(), stdout);
    std::fflush(stdout);
}

void StdinLines::readAvailable() {
    char buffer[4096];
    const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (count <= 0) {
        m_notifier->setEnabled(false);
        if (inputFromSomeone()) {
            Q_EMIT closed();
        }
        return;
    }
    m_pending.append(buffer, count);
    qsizetype end = 0;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        QString text = QString::fromUtf8(m_pending.left(end));
        m_pending.remove(0, end + 1);
        if (text.endsWith(QLatin1Char('\r'))) {
            text.chop(1);
        }
        Q_EMIT line(text.replace(QStringLiteral("\\t"), QStringLiteral("\t")));
    }
}
