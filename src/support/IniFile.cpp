#include "IniFile.h"

#include "OutputFile.h"
#include "TextDecoding.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringList>

namespace {

struct ParsedFile {
    QDateTime modified;
    qint64 size = -1;
    QStringList lines;
    bool crlf = false;
    bool endsWithNewline = true;
    bool bom = false;   // written back so that a write leaves the first line's bytes as they were
    bool dirty = false; // changed inside a batch and not yet on disk
    bool clean = true;  // every byte decoded; a write would otherwise replace the rest with its guess
};

int g_batchDepth = 0;

// Files are re-read only when they change on disk; the translation lookup asks for one key at a
// time and would otherwise read the whole file for every caption.
QHash<QString, ParsedFile>& cache() {
    static QHash<QString, ParsedFile> files;
    return files;
}

const ParsedFile* load(const QString& path) {
    if (const auto pending = cache().constFind(path); pending != cache().cend() && pending->dirty) {
        return &*pending;
    }
    const QFileInfo info(path);
    if (!info.isFile()) {
        cache().remove(path);
        return nullptr;
    }
    auto it = cache().find(path);
    if (it != cache().end() && it->dirty) {
        return &*it;
    }
    if (it != cache().end() && it->modified == info.lastModified() && it->size == info.size()) {
        return &*it;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return nullptr;
    }
    const QByteArray bytes = file.readAll();
    ParsedFile parsed;
    const QString text = TextDecoding::decode(bytes, &parsed.clean);
    parsed.bom = bytes.startsWith("\xEF\xBB\xBF");
    parsed.modified = info.lastModified();
    parsed.size = info.size();
    parsed.crlf = text.contains(QStringLiteral("\r\n"));
    parsed.endsWithNewline = text.isEmpty() || text.endsWith(QLatin1Char('\n'));
    parsed.lines = text.split(QLatin1Char('\n'));
    if (parsed.endsWithNewline && !parsed.lines.isEmpty()) {
        parsed.lines.removeLast();
    }
    for (QString& line : parsed.lines) {
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
    }
    return &*cache().insert(path, parsed);
}

bool sectionName(const QString& line, QString* name) {
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('['))) {
        return false;
    }
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    if (close < 0) {
        return false;
    }
    *name = t.mid(1, close - 1).trimmed();
    return true;
}

bool keyLine(const QString& line, QString* key, QString* value) {
    const QString t = line.trimmed();
    if (t.startsWith(QLatin1Char(';'))) {
        return false;
    }
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq < 0) {
        return false;
    }
    *key = t.left(eq).trimmed();
    *value = t.mid(eq + 1).trimmed();
    return true;
}

bool same(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

struct Location {
    qsizetype sectionLine = -1; // the section's header line
    qsizetype lastLine = -1;    // last non-empty line of the section
    qsizetype keyLine = -1;     // the key's line
    QString value;
};

Location locate(const QStringList& lines, const QString& section, const QString& key) {
    Location where;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString name;
        if (sectionName(lines[i], &name)) {
            if (where.sectionLine >= 0 && inSection) {
                // Only the first section of that name counts, as on Windows.
                break;
            }
            inSection = same(name, section);
            if (inSection) {
                where.sectionLine = i;
                where.lastLine = i;
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (!lines[i].trimmed().isEmpty()) {
            where.lastLine = i;
        }
        QString k;
        QString v;
        if (keyLine(lines[i], &k, &v) && same(k, key)) {
            where.keyLine = i;
            where.value = v;
            return where;
        }
    }
    return where;
}

// Writes the whole file atomically and forgets the cached copy, which the next read takes anew.
bool save(const QString& path, const ParsedFile& file) {
    const QString eol = file.crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString text = file.lines.join(eol);
    if (file.endsWithNewline) {
        text += eol;
    }
    cache().remove(path);
    OutputFile out(path);
    if (!out.open()) {
        return false;
    }
    if (file.bom) {
        out.device().write("\xEF\xBB\xBF");
    }
    out.device().write(text.toUtf8());
    return out.commit();
}

} // namespace

namespace IniFile {

std::optional<QString> read(const QString& path, const QString& section, const QString& key) {
    const ParsedFile* file = load(path);
    if (!file) {
        return std::nullopt;
    }
    const Location where = locate(file->lines, section, key);
    if (where.keyLine < 0) {
        return std::nullopt;
    }
    QString value = where.value;
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first) {
            value = value.mid(1, value.size() - 2);
        }
    }
    return value;
}

bool write(const QString& path, const QString& section, const QString& key, const QString& value) {
    ParsedFile file;
    if (const ParsedFile* existing = load(path)) {
        if (!existing->clean) {
            return false;
        }
        file = *existing;
    }
    QStringList& lines = file.lines;
    const Location where = locate(lines, section, key);
    if (where.keyLine >= 0) {
        QString k;
        QString v;
        keyLine(lines[where.keyLine], &k, &v);
        lines[where.keyLine] = k + QLatin1Char('=') + value;
    } else if (where.sectionLine >= 0) {
        lines.insert(where.lastLine + 1, key + QLatin1Char('=') + value);
    } else {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty()) {
            lines.append(QString());
        }
        lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        lines.append(key + QLatin1Char('=') + value);
        file.endsWithNewline = true;
    }
    if (g_batchDepth > 0) {
        file.dirty = true;
        cache().insert(path, file);
        return true;
    }
    return save(path, file);
}

Batch::Batch() {
    ++g_batchDepth;
}

Batch::~Batch() {
    if (m_open) {
        finish();
    }
}

bool Batch::finish() {
    m_open = false;
    if (--g_batchDepth > 0) {
        return true;
    }
    bool ok = true;
    const QStringList paths = cache().keys();
    for (const QString& path : paths) {
        const ParsedFile file = cache().value(path);
        if (file.dirty) {
            ok = save(path, file) && ok;
            cache().remove(path);
        }
    }
    return ok;
}

} // namespace IniFile
