#pragma once

#include <QString>
#include <optional>

// Windows-style INI access of our own: sections and keys match without letter case, values are
// trimmed (and lose one pair of enclosing quotes), and a write changes only the one line it
// concerns, so users' comments, order and layout survive. QSettings is not used because it
// rewrites and escapes the whole file.
namespace IniFile {

// The value of key in section, or nothing when the file, the section or the key is missing.
std::optional<QString> read(const QString& path, const QString& section, const QString& key);

// Sets key in section to value, adding the key (and the section) when missing. The file is
// replaced atomically. False when the file cannot be written.
bool write(const QString& path, const QString& section, const QString& key, const QString& value);

// Collects the writes made while it lives and puts each changed file on disk once at the end,
// instead of once per key. Batches nest; the outermost one writes.
class Batch {
public:
    Batch();
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

    // Ends the batch now; false when a file could not be written.
    bool finish();

private:
    bool m_open = true;
};

} // namespace IniFile
