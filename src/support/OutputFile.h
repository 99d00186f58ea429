#pragma once

#include <QSaveFile>
#include <QString>
#include <functional>

// A file the program writes (a PDF, a spreadsheet, the error log, the INI file). The content goes
// to an unnamed file beside the target and replaces the target only once it is complete, so a
// failure or a kill midway leaves the old file and nothing else. A target that is a library is
// refused before anything is written: a file holding a library's tables (the open library among
// them) or the template, reached by any name, symbolic link or hard link.
class OutputFile {
public:
    enum class Refusal { None, Library, Template };

    explicit OutputFile(const QString& path);
    // Drops the content unless it was committed.
    ~OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Checks the target and opens the unnamed file; false with refusal() or errorString() set.
    bool open();
    QIODevice& device() { return m_file; }
    // A name under which code that opens files by name writes into the pending content.
    QString pendingName() const;
    // Puts the content in place; false (the target as it was) with errorString() set.
    bool commit();
    void discard() { m_file.cancelWriting(); }

    // The path as given and the file it names (links followed).
    const QString& path() const { return m_path; }
    const QString& target() const { return m_target; }
    Refusal refusal() const { return m_refusal; }
    // The translation key of the refusal (arguments: path, target); 0 when the target was not refused.
    int refusalKey() const;
    QString errorString() const { return m_file.errorString(); }

    // Whether a path may be written: None, or why not.
    static Refusal check(const QString& path);

    // How a file is found to hold a library's tables; each program installs it once at start.
    // Until then every SQLite file counts as a library.
    static void setLibraryCheck(std::function<bool(const QString& path)> check);

private:
    QString m_path;
    QString m_target;
    Refusal m_refusal = Refusal::None;
    QSaveFile m_file;
};
