#pragma once

#include <QString>
#include <QStringView>

// The lines of a sequence text, from a file or from clipboard text. CR LF, a lone CR and a lone
// LF each end a line. Text from the clipboard always yields its last piece, even when empty;
// a file's text ends at its last line end.
class LineSource {
public:
    enum class Kind { File, Clipboard };

    LineSource(QString text, Kind kind) : m_text(std::move(text)), m_kind(kind) {}

    // Reads the whole file and decodes it. False (with errorText set) when it cannot be read.
    static bool fromFile(const QString& path, LineSource* source, QString* errorText);

    // The next line as a view into the text, valid while the source lives.
    bool next(QStringView* line);

    // How far next has read, and the whole text's length, in characters.
    qsizetype position() const { return m_pos; }
    qsizetype size() const { return m_text.size(); }

private:
    QString m_text;
    Kind m_kind;
    qsizetype m_pos = 0;
    bool m_done = false;
};
