#include "CliCommands.h"

#include "Database.h"
#include "DbError.h"
#include "IErrorBox.h"
#include "ISeqTextHost.h"
#include "SequenceListQuery.h"
#include "modDataBase.h"
#include "modSeqText.h"
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
    "  list LIBRARY [--level LEVEL] [--sort date|order|state]\n"
    "                                    one line per sequence: Sequence, OrderNo, Level, Date, Time,\n"
    "                                    Property, Title (tab-separated); LEVEL AllLevel lists all\n"
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
    QString author() const override { return {}; }
    bool seqDateSave() const override { return false; }
    QString clipboardText() const override { return m_clipboard; }
    QString transString(int, const QString& def) const override { return def; }
    void showReadReport(const QString&) override {}
    void setClipboard(const QString& text) { m_clipboard = text; }

private:
    QString m_clipboard;
};

void out(const QString& text) {
    QTextStream stream(stdout);
    stream << text << '\n';
}

bool isLibraryName(const QString& path) {
    return path.endsWith(QLatin1String(".mdb"), Qt::CaseInsensitive);
}

// Opens an existing library for work: it must be a ".mdb" file holding the library tables; the
// schema is brought up to date first.
void openLibrary(Database& db, const QString& path, const std::optional<QString>& author) {
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
    modDataBase::AdminDataBase(path, [&](const QString&) { return author.value_or(QString()); });
    db.open(path);
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
    Database db;
    openLibrary(db, arguments.front(), author);
    CliHost host;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const int added = modSeqText::ReadSequenceText(db, arguments[i], false, -1, host);
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
    Database db;
    openLibrary(db, arguments.front(), author);
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly)) {
        throw Failure(QStringLiteral("cannot read standard input"));
    }
    CliHost host;
    host.setClipboard(QString::fromUtf8(input.readAll()));
    out(QString::number(modSeqText::ReadSequenceText(db, QString(), true, position, host)));
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
    Database db;
    openLibrary(db, arguments.front(), author);
    Statement list = SequenceListQuery::prepare(db, level, sequenceSort);
    QTextStream stream(stdout);
    while (list.step()) {
        stream << list.text(5) << '\t' << list.text(4) << '\t' << list.text(6) << '\t' << list.text(1) << '\t'
               << list.text(2) << '\t' << list.text(3) << '\t' << list.text(0) << '\n';
    }
    return 0;
}

} // namespace

namespace CliCommands {

int run(const QStringList& argumentList) {
    CliErrorBox box;
    modSystem::setErrorBox(&box);
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
        } else if (command == QLatin1String("list")) {
            status = commandList(arguments, author);
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
