#include "FuzzSupport.h"

#include "IErrorBox.h"
#include "TextDecoding.h"
#include "modSystem.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace {

// Every report answers OK: a logged failure is the program's sound reaction to bad input, not a
// finding. Crashes, hangs and sanitizer reports are.
class QuietErrorBox final : public IErrorBox {
public:
    bool askContinue(const ErrorBoxReport&) override { return true; }
};

QTemporaryDir* g_home = nullptr;
QuietErrorBox g_box;

} // namespace

namespace FuzzSupport {

void initialize() {
    if (g_home) {
        return;
    }
    g_home = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/vorn-fuzz-XXXXXX"));
    qputenv("VORNREADER_HOME", g_home->path().toLocal8Bit());
    modSystem::setErrorBox(&g_box);
    std::atexit([] {
        delete g_home;
        g_home = nullptr;
    });
}

QByteArray bytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

QString text(const uint8_t* data, size_t size) {
    return TextDecoding::decode(bytes(data, size));
}

QString homePath() {
    return g_home->path();
}

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

} // namespace FuzzSupport
