#include "CliCommands.h"

#include "CliExport.h"
#include "CliOptions.h"
#include "CliPrint.h"
#include "CliProgress.h"

#include "Database.h"
#include "DbError.h"
#include "HomeSeeder.h"
#include "IErrorBox.h"
#include "ILibraryHost.h"
#include "ISeqTextHost.h"
#include "LibraryFile.h"
#include "LibraryHistory.h"
#include "LibraryReader.h"
#include "LibrarySession.h"
#include "SequenceImport.h"
#include "SequenceListQuery.h"
#include "Settings.h"
#include "TextDecoding.h"
#include "VornVersion.h"
#include "modDataBase.h"
#include "modGeneral.h"
#include "modSeqText.h"
#include "modSetting.h"
#include "modSystem.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QTextStream>
#include <cstdio>
#include <limits>
#include <optional>

namespace {

const char* const kUsage =
    "Usage: vornreader-cli [--author NAME] [--quiet] COMMAND LIBRARY [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  new LIBRARY                       create an empty library\n"
    "  read LIBRARY FILE...              read generator files into the library (File > Read)\n"
    "  paste LIBRARY [--at POSITION]     read sequence text from standard input (Edit > Paste);\n"
    "                                    POSITION is the list position to insert at (default: append)\n"
    "  copy LIBRARY SEQUENCE...          write the text of the given sequences (Edit > Copy)\n"
    "  list LIBRARY [--level LEVEL] [--sort date|order|state] [--not-called-for PARTY --since DATE]\n"
    "                                    one line per sequence: Sequence, OrderNo, Level, Date, Time,\n"
    "                                    Property, Title (tab-separated); LEVEL AllLevel lists all;\n"
    "                                    --not-called-for leaves out the sequences PARTY (* for any\n"
    "                                    party) heard on DATE (yyyy/mm/dd) or later\n"
    "  history LIBRARY [--party PARTY] [--from DATE] [--to DATE]\n"
    "                                    one line per history entry: date, party, Sequence, Level,\n"
    "                                    Title (tab-separated), by date; PARTY * is any party; DATE\n"
    "                                    is yyyy/mm/dd, both ends included\n"
    "  print LIBRARY SEQUENCE... --pdf FILE [--paper A4|Letter|...] [--landscape] [--margins MM]\n"
    "                                    the print layout of the sequences, in the order given, as a PDF\n"
    "                                    (default A4 portrait, 10 mm margins)\n"
    "  xlsx LIBRARY SEQUENCE... FILE     the spreadsheet layout of the sequences into FILE (.xlsx)\n"
    "  export SOURCE TARGET [--from DATE] [--to DATE] [--level LEVEL] [--state N] [--yes]\n"
    "                                    move the sequences the filter takes, with their calls and\n"
    "                                    history, from SOURCE into TARGET (File > Export); DATE is\n"
    "                                    yyyy/mm/dd, both ends included; without --yes the number\n"
    "                                    found is confirmed on the terminal; prints the number moved\n"
    "\n"
    "Options (anywhere on the line; every word after -- is taken as it stands):\n"
    "  --author NAME   the answer when an older library asks for the author of its calls\n"
    "  --quiet         no progress line on standard error (read, paste, export, print and xlsx\n"
    "                  show one there while they work, when standard error is a terminal)\n"
    "  --help          show this text\n"
    "  --version       show the version of the tool\n"
    "\n"
    "The application home is $VORNREADER_HOME when set.\n";

class UsageError {
public:
    explicit UsageError(QString text) : message(std::move(text)) {}
    QString message;
};

class Failure {
public:
    explicit Failure(QString text) : message(std::move(text)) {}
    QString message;
};

// Error reports go to standard error, one line per cause: a failure that repeats (the same
// procedure and error for sequence after sequence) is printed once and counted. The window's
// question (OK goes on, Cancel ends) has no place here; the run goes on, as after OK.
class CliErrorBox final : public IErrorBox {
public:
    bool askContinue(const ErrorBoxReport& report) override {
        if (report.logRefusalKey != 0) {
            line(modGeneral::TransMessage(report.logRefusalKey, report.logRefusalArguments));
        }
        // Compaction is housekeeping after the command's work is stored: a warning, not a failure.
        if (report.procedure == QLatin1String("modDataBase.OptimizeDatabase")) {
            const DbError error(report.error.number, report.error.description);
            line(modGeneral::TransMessage(
                40165, {modGeneral::MessageFormat(modGeneral::LoadTransString(error.causeKey()), {error.message()})}));
            return true;
        }
        const QString key = report.procedure + QLatin1Char('\n') + QString::number(report.error.number);
        int& seen = m_counts[key];
        if (seen++ == 0) {
            m_order.append(key);
            QString text = report.error.description.trimmed();
            text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
            CliProgress::clearLine();
            std::fprintf(stderr, "vornreader-cli: %s (%s, error %d)\n", qPrintable(text), qPrintable(report.procedure),
                         report.error.number);
        }
        ++errors;
        return true;
    }

    // One line of the tool's own, with the message's line breaks as blanks.
    static void line(QString text) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        CliProgress::clearLine();
        std::fprintf(stderr, "vornreader-cli: %s\n", qPrintable(text));
    }

    // The counts of the failures that repeated, after the run.
    void summarise() {
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        for (const QString& key : std::as_const(m_order)) {
            const int more = m_counts.value(key) - 1;
            if (more > 0) {
                const bool perSequence = key.startsWith(QLatin1String("modSeqText."));
                std::fprintf(stderr, "vornreader-cli: ... and %s more %s the same way\n",
                             qPrintable(english.toString(more)),
                             perSequence ? (more == 1 ? "sequence failed" : "sequences failed") : "times it failed");
            }
        }
        m_counts.clear();
        m_order.clear();
    }

    int errors = 0;

private:
    QHash<QString, int> m_counts;
    QStringList m_order;
};

class CliHost final : public ISeqTextHost {
public:
    QString author() const override { return settings().Author; }
    bool seqDateSave() const override { return settings().SeqDateSave; }
    QString clipboardText() const override { return m_clipboard; }
    QString transString(int key, const QString& def) const override { return modGeneral::LoadTransString(key, def); }
    // The report of each run is the command's output, one line, printed once its progress line
    // has ended.
    void showReadReport(const QString& message) override { m_report = message; }
    void printReport() {
        if (!m_report.isEmpty()) {
            QTextStream(stdout) << m_report.replace(QStringLiteral("\r\n"), QStringLiteral(" ")) << '\n';
            m_report.clear();
        }
    }
    void showReadFailure(const QString& message) override {
        QString line = message;
        line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        CliProgress::clearLine();
        std::fprintf(stderr, "vornreader-cli: %s\n", qPrintable(line));
        failed = true;
    }
    void setClipboard(const QString& text) { m_clipboard = text; }

    bool failed = false;

private:
    QString m_clipboard;
    QString m_report;
};

// The library's life without a window: refusals go to standard error, the library settings are
// read and written as the program does (not by a command that only reads), and the upgrade
// question is answered by --author.
class CliLibraryHost final : public ILibraryHost {
public:
    CliLibraryHost(std::optional<QString> author, bool readOnly) : m_author(std::move(author)), m_readOnly(readOnly) {}

    void showMessage(int key, const QVariantList& arguments) override {
        QString text = modGeneral::TransMessage(key, arguments);
        text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        std::fprintf(stderr, "vornreader-cli: %s\n", qPrintable(text));
    }
    std::optional<QString> askAuthor(const QString&) override { return m_author.value_or(QString()); }
    void readLibrarySettings(Database& db) override {
        modSetting::ReadIniMdbVornReader(settings(), db, modGeneral::LevelMenuCaptions());
    }
    void writeLibrarySettings(Database* db) override {
        if (!m_readOnly) {
            modSetting::WriteIniMdbVornReader(settings(), db, modGeneral::LevelMenuCaptions());
        }
    }

private:
    std::optional<QString> m_author;
    bool m_readOnly;
};

bool isLibraryName(const QString& path) {
    return path.endsWith(QLatin1String(".mdb"), Qt::CaseInsensitive);
}

// A failure that has been reported already (by the library's life or the error box).
class Reported {};

enum class Access { Read, Write };

// An open library for one command, closed at the end. A command that only reads opens it
// read-only: nothing is upgraded, written or compacted, and the file keeps its bytes. A command
// that writes is refused up front on a library that cannot be written.
class OpenLibrary {
public:
    OpenLibrary(const QString& path, const std::optional<QString>& author, Access access)
        : m_host(author, access == Access::Read),
          m_session(
              LibraryState{settings().MdbPath, settings().MdbFile, settings().RecentFile, settings().RecentFileCnt},
              m_host) {
        if (!isLibraryName(path)) {
            throw Failure(QStringLiteral("\"%1\" is not a library file (the name must end in .mdb)").arg(path));
        }
        const LibrarySession::Access mode =
            access == Access::Read ? LibrarySession::Access::ReadOnly : LibrarySession::Access::ReadWrite;
        if (!m_session.OpenSequenceMdbFile(path, mode)) {
            throw Reported();
        }
        if (access == Access::Write && m_session.isReadOnly()) {
            m_host.showMessage(40107, {LibraryFile::absolutePath(path)});
            throw Reported();
        }
    }
    ~OpenLibrary() { m_session.CloseSequenceMdbFile(); }
    OpenLibrary(const OpenLibrary&) = delete;
    OpenLibrary& operator=(const OpenLibrary&) = delete;

    Database& db() { return m_session.database(); }

private:
    CliLibraryHost m_host;
    LibrarySession m_session;
};

QString takeOption(QStringList& arguments, const QString& name) {
    const qsizetype at = CliOptions::find(arguments, name);
    if (at < 0) {
        return {};
    }
    if (at + 1 >= CliOptions::optionsEnd(arguments)) {
        throw UsageError(name + QStringLiteral(" needs a value"));
    }
    const QString value = arguments.at(at + 1);
    arguments.remove(at, 2);
    return value;
}

int commandNew(const QStringList& words) {
    const QStringList arguments = CliOptions::operands(words);
    if (arguments.size() != 1) {
        throw UsageError(QStringLiteral("new takes one LIBRARY"));
    }
    const QString& path = arguments.front();
    if (!isLibraryName(path)) {
        throw Failure(QStringLiteral("\"%1\" is not a library file name (it must end in .mdb)").arg(path));
    }
    if (QFileInfo::exists(path)) {
        throw Failure(QStringLiteral("\"%1\" already exists").arg(path));
    }
    try {
        modDataBase::CreateLibrary(path);
    } catch (const DbError& error) {
        QFile::remove(path);
        throw Failure(QStringLiteral("cannot create \"%1\": %2").arg(path, error.message()));
    }
    return 0;
}

int commandRead(const QStringList& words, const std::optional<QString>& author) {
    const QStringList arguments = CliOptions::operands(words);
    if (arguments.size() < 2) {
        throw UsageError(QStringLiteral("read takes a LIBRARY and at least one FILE"));
    }
    OpenLibrary library(arguments.front(), author, Access::Write);
    CliHost host;
    CliProgress progress;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        modSeqText::ReadSequenceText(library.db(), arguments[i], false, -1, host, &progress);
        progress.finish();
        host.printReport();
    }
    return host.failed ? 1 : 0;
}

constexpr qint64 kMaxStandardInput = qint64(256) << 20;

int commandPaste(QStringList arguments, const std::optional<QString>& author) {
    const QString at = takeOption(arguments, QStringLiteral("--at"));
    arguments = CliOptions::operands(arguments);
    if (arguments.size() != 1) {
        throw UsageError(QStringLiteral("paste takes one LIBRARY"));
    }
    qint32 position = -1;
    if (!at.isEmpty()) {
        bool ok = false;
        const qint64 value = at.toLongLong(&ok);
        if (!ok || value < 0) {
            throw UsageError(QStringLiteral("--at needs a position of 0 or more"));
        }
        if (value > std::numeric_limits<qint32>::max()) {
            throw UsageError(
                QStringLiteral("--at %1 is out of range (0 to %2)").arg(at).arg(std::numeric_limits<qint32>::max()));
        }
        position = static_cast<qint32>(value);
    }
    OpenLibrary library(arguments.front(), author, Access::Write);
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly)) {
        throw Failure(QStringLiteral("cannot read standard input"));
    }
    // Standard input is held whole, as the clipboard is, so it has a bound: endless input (a
    // device) is refused instead of filling the memory.
    QByteArray bytes;
    while (bytes.size() <= kMaxStandardInput) {
        const QByteArray piece = input.read(qint64(1) << 20);
        if (piece.isEmpty()) {
            break;
        }
        bytes += piece;
    }
    if (bytes.size() > kMaxStandardInput) {
        throw Failure(QStringLiteral("standard input holds more than %1 MB; read such text from a file with read")
                          .arg(kMaxStandardInput >> 20));
    }
    CliHost host;
    // Standard input is decoded as files are: UTF-8, or the legacy encoding it turns out to be.
    host.setClipboard(TextDecoding::decode(bytes));
    CliProgress progress;
    modSeqText::ReadSequenceText(library.db(), QString(), true, position, host, &progress);
    progress.finish();
    host.printReport();
    return host.failed ? 1 : 0;
}

// The option's date as history dates are stored ("yyyy-MM-dd"), "" when the option is absent.
QString takeDate(QStringList& arguments, const QString& name) {
    const bool given = CliOptions::find(arguments, name) >= 0;
    const QString value = takeOption(arguments, name);
    if (!given) {
        return {};
    }
    static const QRegularExpression form(QStringLiteral("^\\d{4}/\\d{1,2}/\\d{1,2}$"));
    const QDate date = QDate::fromString(value, QStringLiteral("yyyy/M/d"));
    if (!form.match(value).hasMatch() || !date.isValid()) {
        throw UsageError(QStringLiteral("%1 \"%2\" is not a date (yyyy/mm/dd)").arg(name, value));
    }
    return date.toString(Qt::ISODate);
}

// The party option's value: nothing for "*" (any party). A party the history does not know is
// most likely mistyped; it would silently match nothing.
std::optional<QString> knownParty(Database& db, const QString& option, const QString& party) {
    if (party == QLatin1String("*")) {
        return std::nullopt;
    }
    if (!LibraryHistory(db).hasParty(party)) {
        throw Failure(QStringLiteral("%1: the library has no history for the party \"%2\"").arg(option, party));
    }
    return party;
}

int commandList(QStringList arguments, const std::optional<QString>& author) {
    QString level = takeOption(arguments, QStringLiteral("--level"));
    const QString sort = takeOption(arguments, QStringLiteral("--sort"));
    const bool notCalled = CliOptions::find(arguments, QStringLiteral("--not-called-for")) >= 0;
    const QString party = takeOption(arguments, QStringLiteral("--not-called-for"));
    const QString since = takeDate(arguments, QStringLiteral("--since"));
    if (notCalled != !since.isEmpty()) {
        throw UsageError(QStringLiteral("--not-called-for and --since go together"));
    }
    arguments = CliOptions::operands(arguments);
    if (arguments.size() != 1) {
        throw UsageError(QStringLiteral("list takes one LIBRARY"));
    }
    int sequenceSort = 0;
    if (sort == QLatin1String("order")) {
        sequenceSort = 1;
    } else if (sort == QLatin1String("state")) {
        sequenceSort = 2;
    } else if (!sort.isEmpty() && sort != QLatin1String("date")) {
        throw UsageError(QStringLiteral("--sort takes date, order or state"));
    }
    if (level.isEmpty()) {
        level = SequenceListQuery::AllLevel;
    }
    OpenLibrary library(arguments.front(), author, Access::Read);
    std::optional<SequenceListQuery::NotCalledFor> filter;
    if (notCalled) {
        filter =
            SequenceListQuery::NotCalledFor{knownParty(library.db(), QStringLiteral("--not-called-for"), party), since};
    }
    Statement list = SequenceListQuery::prepare(library.db(), level, sequenceSort, filter);
    QTextStream stream(stdout);
    while (list.step()) {
        stream << list.text(5) << '\t' << list.text(4) << '\t' << list.text(6) << '\t' << list.text(1) << '\t'
               << list.text(2) << '\t' << list.text(3) << '\t' << list.text(0) << '\n';
    }
    return 0;
}

int commandHistory(QStringList arguments, const std::optional<QString>& author) {
    const bool onePartyGiven = CliOptions::find(arguments, QStringLiteral("--party")) >= 0;
    const QString party = takeOption(arguments, QStringLiteral("--party"));
    const QString from = takeDate(arguments, QStringLiteral("--from"));
    const QString to = takeDate(arguments, QStringLiteral("--to"));
    if (!from.isEmpty() && !to.isEmpty() && from > to) {
        throw UsageError(QStringLiteral("--from is after --to"));
    }
    arguments = CliOptions::operands(arguments);
    if (arguments.size() != 1) {
        throw UsageError(QStringLiteral("history takes one LIBRARY"));
    }
    OpenLibrary library(arguments.front(), author, Access::Read);
    const std::optional<QString> onlyParty =
        onePartyGiven ? knownParty(library.db(), QStringLiteral("--party"), party) : std::nullopt;
    QTextStream stream(stdout);
    for (const HistoryLine& line : LibraryHistory(library.db()).entries(onlyParty, from, to)) {
        stream << line.callDate << '\t' << line.partyName << '\t' << line.sequence << '\t' << line.level << '\t'
               << line.title << '\n';
    }
    return 0;
}

int commandCopy(const QStringList& words, const std::optional<QString>& author) {
    const QStringList arguments = CliOptions::operands(words);
    if (arguments.size() < 2) {
        throw UsageError(QStringLiteral("copy takes a LIBRARY and at least one SEQUENCE"));
    }
    QList<qint64> sequences;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        bool ok = false;
        const qint64 sequence = arguments[i].toLongLong(&ok);
        if (!ok || sequence < 1) {
            throw UsageError(QStringLiteral("\"%1\" is not a sequence number").arg(arguments[i]));
        }
        sequences.append(sequence);
    }
    OpenLibrary library(arguments.front(), author, Access::Read);
    const QList<qint64> missing = LibraryReader(library.db()).missingSequences(sequences);
    for (const qint64 sequence : missing) {
        std::fprintf(stderr, "vornreader-cli: there is no sequence %lld in the library\n",
                     static_cast<long long>(sequence));
        sequences.removeAll(sequence);
    }
    // The text is written by its byte count: a stored value may hold a NUL character.
    const QByteArray text = modSeqText::SequencesText(library.db(), sequences).toUtf8();
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
    return missing.isEmpty() ? 0 : 1;
}

} // namespace

namespace CliCommands {

int run(const QStringList& argumentList) {
    // The version needs no application home: asking for it leaves none behind.
    if (CliOptions::find(argumentList, QStringLiteral("--version")) >= 0) {
        std::printf("vornreader-cli %s\n", kVornVersion);
        return 0;
    }
    CliErrorBox box;
    modSystem::setErrorBox(&box);
    HomeSeeder::SeedApplicationHome();
    modSetting::ReadIniVornReader(settings());
    modGeneral::SetLanguage(settings().Language);
    QStringList arguments = argumentList;
    int status = 0;
    try {
        if (CliOptions::find(arguments, QStringLiteral("--help")) >= 0 ||
            CliOptions::find(arguments, QStringLiteral("-h")) >= 0) {
            std::fputs(kUsage, stdout);
            modSystem::setErrorBox(nullptr);
            return 0;
        }
        std::optional<QString> author;
        bool quiet = false;
        qsizetype at = CliOptions::find(arguments, QStringLiteral("--quiet"));
        while (at >= 0) {
            arguments.removeAt(at);
            quiet = true;
            at = CliOptions::find(arguments, QStringLiteral("--quiet"));
        }
        CliProgress::setQuiet(quiet);
        if (CliOptions::find(arguments, QStringLiteral("--author")) >= 0) {
            author = takeOption(arguments, QStringLiteral("--author"));
        }
        // Given after "--", the command is an operand like the rest.
        if (arguments.size() > 1 && arguments.front() == QLatin1String("--")) {
            arguments.swapItemsAt(0, 1);
        }
        if (arguments.isEmpty() || arguments.front() == QLatin1String("--")) {
            throw UsageError(QStringLiteral("no command given"));
        }
        const QString command = arguments.takeFirst();
        if (command == QLatin1String("new")) {
            status = commandNew(arguments);
        } else if (command == QLatin1String("read")) {
            status = commandRead(arguments, author);
        } else if (command == QLatin1String("paste")) {
            status = commandPaste(arguments, author);
        } else if (command == QLatin1String("copy")) {
            status = commandCopy(arguments, author);
        } else if (command == QLatin1String("list")) {
            status = commandList(arguments, author);
        } else if (command == QLatin1String("history")) {
            status = commandHistory(arguments, author);
        } else if (command == QLatin1String("export")) {
            status = CliExport::commandExport(arguments, author);
            if (status == 2) {
                std::fputs(kUsage, stderr);
            }
        } else if (command == QLatin1String("print") || command == QLatin1String("xlsx")) {
            // Printing only reads: the library is opened read-only and keeps its bytes.
            const CliPrint::WithLibrary withLibrary = [&author](const QString& path, const auto& work) {
                OpenLibrary library(path, author, Access::Read);
                return work(library.db());
            };
            status = command == QLatin1String("print") ? CliPrint::commandPrint(arguments, withLibrary)
                                                       : CliPrint::commandXlsx(arguments, withLibrary);
        } else {
            throw UsageError(QStringLiteral("unknown command \"%1\"").arg(command));
        }
        if (status == 0 && box.errors > 0) {
            status = 1;
        }
    } catch (const Reported&) {
        status = 1;
    } catch (const UsageError& error) {
        std::fprintf(stderr, "vornreader-cli: %s\n%s", qPrintable(error.message), kUsage);
        status = 2;
    } catch (const Failure& error) {
        std::fprintf(stderr, "vornreader-cli: %s\n", qPrintable(error.message));
        status = 1;
    } catch (const DbError& error) {
        std::fprintf(stderr, "vornreader-cli: database error %d: %s\n", error.code(), qPrintable(error.message()));
        status = 1;
    }
    box.summarise();
    modSystem::setErrorBox(nullptr);
    return status;
}

} // namespace CliCommands
