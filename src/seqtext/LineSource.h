#pragma once

#include "TextDecoding.h"

#include <QFile>
#include <QString>
#include <QStringView>
#include <memory>

// The lines of a sequence text, from a file or from clipboard text. CR LF, a lone CR and a lone
// LF each end a line. Text from the clipboard always yields its last piece, even when empty;
// a file's text ends at its last line end. A file is read and decoded piece by piece, so that
// only the current piece and the line being read are held in memory.
class LineSource {
public:
    enum class Kind { File, Clipboard };
    enum class Opened { Ok, NotAFile, Unreadable };

    static constexpr qint64 kPiece = 1 << 20;

    LineSource(QString text, Kind kind) : m_text(std::move(text)), m_kind(kind), m_end(true) {}

    // Opens a file and decides its encoding in a first pass over its bytes. A device, a pipe or a
    // folder is NotAFile; a file that cannot be opened or read is Unreadable, with errorText set.
    static Opened fromFile(const QString& path, LineSource* source, QString* errorText, qint64 piece = kPiece);

    // The next line as a view into the text, valid until the next call.
    bool next(QStringView* line);

    // How far next has read and how much there is: characters of clipboard text, bytes of a file.
    qint64 position() const;
    qint64 size() const;

    // A file whose reading failed after it was opened: the lines given so far are not all of it.
    bool failed() const { return m_failed; }
    QString errorText() const { return m_file ? m_file->errorString() : QString(); }

private:
    // Reads and decodes the next piece of the file after what is left of the text; false at
    // the end of the file.
    bool fill();

    QString m_text;
    Kind m_kind;
    qsizetype m_pos = 0;
    bool m_done = false;
    // All of the text is in m_text.
    bool m_end = false;
    bool m_failed = false;
    std::unique_ptr<QFile> m_file;
    std::unique_ptr<TextDecoding::Decoder> m_decoder;
    QByteArray m_piece;
    qint64 m_fileSize = 0;
    // Characters of the file's text dropped from the front of m_text, all handed out as lines.
    qint64 m_handedOut = 0;
};
