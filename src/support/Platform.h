#pragma once

#include <QString>
#include <filesystem>

// The few services the programs take from the operating system itself rather than from Qt or the
// standard library: the terminal, process signals and file names as the system's calls want them.
// Only this unit asks which system it runs on.
namespace Platform {

enum class Stream { Input, Error };

// True when the standard stream is a terminal, not a file or a pipe.
bool isTerminal(Stream stream);

// The width in columns of the terminal standard error writes to; 0 when it cannot be told.
int terminalColumns();

// A write beyond the file-size limit (ulimit -f) fails with "file too large" and is reported like
// any failed write, instead of the system ending the program without a word. Both programs call it
// at start; systems without such a signal report the failed write already.
void ignoreFileSizeSignal();

// The path as the system's file calls take it: the file-name encoding on Unix, UTF-16 on Windows.
std::filesystem::path nativePath(const QString& path);

} // namespace Platform
