#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

// What the fuzz harnesses share: a private application home, an error box that answers OK without
// a word, and the input bytes as text decoded the way the program decodes files and the clipboard.
namespace FuzzSupport {

// Once per process, from LLVMFuzzerInitialize.
void initialize();

QByteArray bytes(const uint8_t* data, size_t size);
QString text(const uint8_t* data, size_t size);

// The home folder the harness owns (the error log and any files it writes go there).
QString homePath();

// Reports what broke and aborts, so that libFuzzer keeps the input as a crash.
void check(bool condition, const char* what);

} // namespace FuzzSupport
