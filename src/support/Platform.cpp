#include "Platform.h"

#include <QFile>
#include <QtGlobal>
#include <cstdio>

#if defined(Q_OS_UNIX)
#include <csignal>
#include <sys/ioctl.h>
#include <unistd.h>
#elif defined(Q_OS_WIN)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <io.h>
#include <windows.h>
#endif

namespace Platform {

bool isTerminal(Stream stream) {
#if defined(Q_OS_UNIX)
    return isatty(stream == Stream::Input ? STDIN_FILENO : STDERR_FILENO) == 1;
#elif defined(Q_OS_WIN)
    return _isatty(_fileno(stream == Stream::Input ? stdin : stderr)) != 0;
#else
    Q_UNUSED(stream);
    return false;
#endif
}

int terminalColumns() {
#if defined(Q_OS_UNIX)
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0) {
        return size.ws_col;
    }
#elif defined(Q_OS_WIN)
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info) != 0) {
        return info.srWindow.Right - info.srWindow.Left + 1;
    }
#endif
    return 0;
}

void ignoreFileSizeSignal() {
#if defined(Q_OS_UNIX)
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

std::filesystem::path nativePath(const QString& path) {
#if defined(Q_OS_WIN)
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

} // namespace Platform
