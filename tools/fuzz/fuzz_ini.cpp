// INI files: the bytes become the file; the helpers read keys it names and a few fixed ones, then
// write a value that must read back while every other value read stays as it was.

#include "FuzzSupport.h"
#include "TextDecoding.h"
#include "modSystem.h"

#include <QFile>

namespace {

struct Entry {
    QString section;
    QString key;
    QString value;
};

// A name the INI format can hold: on one line, and neither a comment, a section nor an assignment.
bool writable(const Entry& entry) {
    const auto oneLine = [](const QString& name) {
        return !name.contains(QLatin1Char('\r')) && !name.contains(QLatin1Char('\n'));
    };
    return !entry.key.isEmpty() && oneLine(entry.key) && oneLine(entry.section) &&
           !entry.key.startsWith(QLatin1Char(';')) && !entry.key.startsWith(QLatin1Char('[')) &&
           !entry.key.contains(QLatin1Char('=')) && !entry.section.contains(QLatin1Char(']'));
}

// Sections and keys as a plain reading of the text finds them, the first few of each.
QList<Entry> namedKeys(const QString& text) {
    QList<Entry> keys{{QStringLiteral("VornReader"), QStringLiteral("MdbPath"), {}},
                      {QStringLiteral("Translation"), QStringLiteral("40301"), {}}};
    QString section;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString t = line.trimmed();
        if (t.startsWith(QLatin1Char('[')) && t.contains(QLatin1Char(']'))) {
            section = t.mid(1, t.indexOf(QLatin1Char(']')) - 1).trimmed();
        } else if (t.contains(QLatin1Char('=')) && keys.size() < 12) {
            keys.append({section, t.left(t.indexOf(QLatin1Char('='))).trimmed(), {}});
        }
    }
    return keys;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSupport::initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = FuzzSupport::homePath() + QStringLiteral("/fuzz.ini");
    // Gone first and asked for once, so that no cached copy of the previous input survives.
    QFile::remove(path);
    modSystem::GetIniString(QStringLiteral("S"), QStringLiteral("K"), path, {});
    {
        QFile file(path);
        FuzzSupport::check(file.open(QIODevice::WriteOnly), "the INI file can be written");
        file.write(FuzzSupport::bytes(data, size));
    }

    QList<Entry> keys = namedKeys(FuzzSupport::text(data, size));
    for (Entry& entry : keys) {
        entry.value = modSystem::GetIniString(entry.section, entry.key, path, QStringLiteral("\x01"));
        FuzzSupport::check(entry.value.size() <= 1023, "values are cut to 1023 characters");
        // A stored value may be any text, the first default included: a key is missing only when
        // two different defaults both come back.
        const bool missing =
            entry.value == QStringLiteral("\x01") &&
            modSystem::GetIniString(entry.section, entry.key, path, QStringLiteral("\x02")) == QStringLiteral("\x02");
        const qint16 number = modSystem::GetIniInteger(entry.section, entry.key, path, 7);
        FuzzSupport::check(!missing || number == 7, "a missing key gives the default");
        const bool flag = modSystem::GetIniBoolean(entry.section, entry.key, path, true);
        FuzzSupport::check(flag == (entry.value.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 || missing),
                           "a Boolean is True exactly when the text says so");
    }

    // A key of the text when it has one, else a new one in a new section.
    const Entry target = keys.size() > 2 ? keys[2] : Entry{QStringLiteral("Fuzz"), QStringLiteral("Written"), {}};
    // A file that begins as an SQLite database may be a library, which no write replaces.
    const bool database = FuzzSupport::bytes(data, size).startsWith(QByteArray("SQLite format 3", 16));
    if (!writable(target) || database) {
        return 0;
    }
    // Text that does not decode is not rewritten from a guess: the write fails and the file stays.
    bool clean = true;
    TextDecoding::decode(FuzzSupport::bytes(data, size), &clean);
    const bool written = modSystem::WriteIniValue(target.section, target.key, QStringLiteral("Fuzz value 1"), path);
    FuzzSupport::check(written == clean, "the write succeeds unless the text does not decode");
    if (!written) {
        QFile file(path);
        FuzzSupport::check(file.open(QIODevice::ReadOnly) && file.readAll() == FuzzSupport::bytes(data, size),
                           "a refused write leaves the file as it was");
        return 0;
    }
    FuzzSupport::check(modSystem::GetIniString(target.section, target.key, path, {}) == QLatin1String("Fuzz value 1"),
                       "the value written reads back");
    for (const Entry& entry : keys) {
        const bool same = entry.section.compare(target.section, Qt::CaseInsensitive) == 0 &&
                          entry.key.compare(target.key, Qt::CaseInsensitive) == 0;
        if (!same) {
            FuzzSupport::check(modSystem::GetIniString(entry.section, entry.key, path, QStringLiteral("\x01")) ==
                                   entry.value,
                               "a write leaves the other values alone");
        }
    }
    return 0;
}
