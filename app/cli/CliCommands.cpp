#include "CliCommands.h"

#include "CliPrint.h"

#include "Database.h"
#include "DbError.h"
#include "HomeSeeder.h"
#include "IErrorBox.h"
#include "ILibraryHost.h"
#include "ISeqTextHost.h"
#include "LibrarySession.h"
#include "SequenceListQuery.h"
#include "SequenceTextWriter.h"
#include "Settings.h"
#include "modDataBase.h"
#include "modGeneral.h"
#include "modSeqText.h"
#include "modSetting.h"
#include "modSystem.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>
#include <optional>

namespace {

const char* const kUsage =
    "Usage: vornreader-cli [--author NAME] COMMAND LIBRARY [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  new LIBRARY                       create an empty library\n"
    "  read LIBRARY FILE...              read generator files into the library (File > Read)\n"
    "  paste LIBRARY [--at POSITION]     read sequence text from standard input (Edit > Paste);\n"
    "                                    POSITION is the list position to insert at (default: append)\n"
    "  copy LIBRARY SEQUENCE...          write the text of the given sequences (Edit > Copy)\n"
    "  list LIBRARY [--level LEVEL] [--sort date|order|state]\n"
    "                                    one line per sequence: Sequence, OrderNo, Level, Date, Time,\n"
    "                                    Property, Title (tab-separated); LEVEL AllLevel lists all\n"
    "  print LIBRARY SEQUENCE... --pdf FILE [--paper A4|Letter|...] [--landscape] [--margins MM]\n"
    "                                    the print layout of the sequences, in the order given, as a PDF\n"
    "                                    (default A4 portrait, 10 mm margins)\n"
    "  xlsx LIBRARY SEQUENCE... FILE     the spreadsheet layout of the sequences into FILE (.xlsx)\n"
    "\n"
    "Options:\n"
    "  --author NAME   the answer when an older library asks for the author of its calls\n"
    "  --help          show this text\n"
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

// Error reports go to standard error as one line each; the run goes on, as after OK.
class CliErrorBox final : public IErrorBox {
public:
    bool askContinue(const QString&, const QString& prompt) override {
        QString line = prompt.trimmed();
        line.replace(QStringLiteral("\r\n\r\n"), QStringLiteral(": "));
        line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        std::fprintf(stderr, "vornreader-cli: %s\n", qPrintable(line));
        ++errors;
        return true;
    }
    int errors = 0;
};

class CliHost final : public ISeqTextHost {
public:
    QString author() const override { return settings().Author; }
    bool seqDateSave() const override { return settings().SeqDateSave; }
    QString clipboardText() const override { return m_clipboard; }
    QString transString(int key, const QString& def) const override { return modGeneral::LoadTransString(key, def); }
    void showReadReport(const QString&) override {}
    void setClipboard(const QString& text) { m_clipboard = text; }

private:
    QString m_clipboard;
};

// The library's life without a window: refusals go to standard error, the library settings are
// read and written as the program does, and the upgrade question is answered by --author.
class CliLibraryHost final : public ILibraryHost {
public:
    explicit CliLibraryHost(std::optional<QString> author) : m_author(std::move(author)) {}

    void showMessage(int key, const QVariantList& arguments) override {
        QString text = modGeneral::TransMessage(key, arguments);
        text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        std::fprintf(stderr, "vornreader-cli: %s\n", qPrintable(text));
    }
    bool askOverwrite(const QString&) override { return false; }
    std::optional<QString> chooseLibraryFile(int, const QString&) override { return std::nullopt; }
    std::optional<QString> askAuthor(const QString&) override { return m_author.value_or(QString()); }
    void readLibrarySettings(Database& db) override {
        modSetting::ReadIniMdbVornReader(settings(), db, modGeneral::LevelMenuCaptions());
    }
    void writeLibrarySettings(Database* db) override {
        modSetting::WriteIniMdbVornReader(settings(), db, modGeneral::LevelMenuCaptions());
    }

private:
    std::optional<QString> m_author;
};

// An open library for one command, closed (settings written, file compacted) at the end.
class OpenLibrary {
public:
    OpenLibrary(const QString& path, const std::optional<QString>& author)
        : m_host(author), m_session(LibraryState{settings().MdbPath, settings().MdbFile, settings().FuncKey,
                                                 settings().RecentFile, settings().RecentFileCnt},
                                    m_host) {
        checkLibrary(path);
        if (!m_session.OpenSequenceMdbFile(path, QString())) {
            throw Failure(QStringLiteral("cannot open \"%1\"").arg(path));
        }
    }
    ~OpenLibrary() { m_session.CloseSequenceMdbFile(); }
    OpenLibrary(const OpenLibrary&) = delete;
    OpenLibrary& operator=(const OpenLibrary&) = delete;

    Database& db() { return m_session.database(); }

private:
    static void checkLibrary(const QString& path);

    CliLibraryHost m_host;
    LibrarySession m_session;
};

void out(const QString& text) {
    QTextStream stream(stdout);
    stream << text << '\n';
}

bool isLibraryName(const QString& path) {
    return path.endsWith(QLatin1String(".mdb"), Qt::CaseInsensitive);
}

// A library must be a ".mdb" file holding the library tables; anything else gets a clear refusal
// before the library's life touches it.
void OpenLibrary::checkLibrary(const QString& path) {
    if (!isLibraryName(path)) {
        throw Failure(QStringLiteral("\"%1\" is not a library file (the name must end in .mdb)").arg(path));
    }
    if (!QFileInfo(path).isFile()) {
        throw Failure(QStringLiteral("\"%1\" does not exist").arg(path));
    }
    try {
        Database probe(path);
        if (probe
                .scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = "
                                       "'tblSequence'"))
                .toLongLong() == 0) {
            throw Failure(QStringLiteral("\"%1\" is not a VornReader library (it has no sequence table)").arg(path));
        }
    } catch (const DbError& error) {
        throw Failure(QStringLiteral("\"%1\" is not a VornReader library (%2)").arg(path, error.message()));
    }
}

QString takeOption(QStringList& arguments, const QString& name) {
    const qsizetype at = arguments.indexOf(name);
    if (at < 0) {
        return {};
    }
    if (at + 1 >= arguments.size()) {
        throw UsageError(name + QStringLiteral(" needs a value"));
    }
    const QString value = arguments.at(at + 1);
    arguments.remove(at, 2);
    return value;
}

int commandNew(const QStringList& arguments) {
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

int commandRead(const QStringList& arguments, const std::optional<QString>& author) {
    if (arguments.size() < 2) {
        throw UsageError(QStringLiteral("read takes a LIBRARY and at least one FILE"));
    }
    OpenLibrary library(arguments.front(), author);
    CliHost host;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const int added = modSeqText::ReadSequenceText(library.db(), arguments[i], false, -1, host);
        out(arguments[i] + QLatin1Char('\t') + QString::number(added));
    }
    return 0;
}

int commandPaste(QStringList arguments, const std::optional<QString>& author) {
    const QString at = takeOption(arguments, QStringLiteral("--at"));
    if (arguments.size() != 1) {
        throw UsageError(QStringLiteral("paste takes one LIBRARY"));
    }
    qint32 position = -1;
    if (!at.isEmpty()) {
        bool ok = false;
        position = at.toInt(&ok);
        if (!ok || position < 0) {
            throw UsageError(QStringLiteral("--at needs a position of 0 or more"));
        }
    }
    OpenLibrary library(arguments.front(), author);
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly)) {
        throw Failure(QStringLiteral("cannot read standard input"));
    }
    CliHost host;
    host.setClipboard(QString::fromUtf8(input.readAll()));
    out(QString::number(modSeqText::ReadSequenceText(library.db(), QString(), true, position, host)));
    return 0;
}

int commandList(QStringList arguments, const std::optional<QString>& author) {
    QString level = takeOption(arguments, QStringLiteral("--level"));
    const QString sort = takeOption(arguments, QStringLiteral("--sort"));
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
    OpenLibrary library(arguments.front(), author);
    Statement list = SequenceListQuery::prepare(library.db(), level, sequenceSort);
    QTextStream stream(stdout);
    while (list.step()) {
        stream << list.text(5) << '\t' << list.text(4) << '\t' << list.text(6) << '\t' << list.text(1) << '\t'
               << list.text(2) << '\t' << list.text(3) << '\t' << list.text(0) << '\n';
    }
    return 0;
}

int commandCopy(const QStringList& arguments, const std::optional<QString>& author) {
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
    OpenLibrary library(arguments.front(), author);
    std::fputs(modSeqText::SequencesText(library.db(), sequences).toUtf8().constData(), stdout);
    return 0;
}

} // namespace

namespace CliCommands {

int run(const QStringList& argumentList) {
    CliErrorBox box;
    modSystem::setErrorBox(&box);
    HomeSeeder::SeedApplicationHome();
    modSetting::ReadIniVornReader(settings());
    modGeneral::SetLanguage(settings().Language);
    modSystem::setErrorQuestion([] { return modGeneral::LoadTransString(40401); });
    QStringList arguments = argumentList;
    int status = 0;
    try {
        if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
            std::fputs(kUsage, stdout);
            modSystem::setErrorBox(nullptr);
            return 0;
        }
        std::optional<QString> author;
        if (arguments.contains(QStringLiteral("--author"))) {
            author = takeOption(arguments, QStringLiteral("--author"));
        }
        if (arguments.isEmpty()) {
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
        } else if (command == QLatin1String("print") || command == QLatin1String("xlsx")) {
            const CliPrint::WithLibrary withLibrary = [&author](const QString& path, const auto& work) {
                OpenLibrary library(path, author);
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
    modSystem::setErrorBox(nullptr);
    return status;
}

} // namespace CliCommands
