#pragma once

#include <QString>

// Paths as the file system reads them: links followed and ".." taken after them, as the kernel
// does, instead of tidying the text.
namespace FilePath {

// The absolute path of the file a path names, with every link resolved; for a file that does not
// exist yet, its resolved folder and its name. A name without a folder is in the current folder.
QString resolve(const QString& path);

// True when both paths name one existing file (the same device and inode): through links, other
// spellings and second hard links alike.
bool sameFile(const QString& first, const QString& second);

} // namespace FilePath
