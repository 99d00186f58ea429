#include "CliExport.h"

#include "CliOptions.h"
#include "CliProgress.h"
#include "IExportHost.h"
#include "Platform.h"
#include "modExport.h"

#include <QTextStream>
#include <cstdio>
#include <tuple>

namespace CliExport {

namespace {

void error(const QString& text) {
    CliProgress::clearLine();
    std::fprintf(stderr, "vornreader-cli: %s\n", qPrintable(QString(text).replace(QStringLiteral("\r\n"), " ")));
}

// The caller adds the usage text.
int usage(const QString& text) {
    error(text);
    return 2;
}

// The value after the option, removed with it; nothing when the option is absent. A missing value
// is a usage error, reported here.
std::optional<QString> takeOption(QStringList& arguments, const char* name, bool& bad) {
    const qsizetype at = CliOptions::find(arguments, QLatin1String(name));
    if (at < 0) {
        return std::nullopt;
    }
    if (at + 1 >= CliOptions::optionsEnd(arguments)) {
        usage(QStringLiteral("%1 needs a value").arg(QLatin1String(name)));
        bad = true;
        return std::nullopt;
    }
    const QString value = arguments.at(at + 1);
    arguments.remove(at, 2);
    return value;
}

// The export's messages on standard error and its question on the terminal; the number moved is
// the only thing on standard output.
class TerminalHost final : public IExportHost {
public:
    TerminalHost(bool yes, std::optional<QString> author) : m_yes(yes), m_author(std::move(author)) {}

    void exclamation(const QString& text) override { error(text); }
    void information(const QString&) override {}
    bool question(const QString& text) override {
        if (m_yes) {
            return true;
        }
        QString prompt = text;
        prompt.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        if (!Platform::isTerminal(Platform::Stream::Input)) {
            error(prompt);
            error(QStringLiteral("no terminal to confirm the move on; give --yes to move without asking"));
            return false;
        }
        std::fprintf(stderr, "%s [y/N] ", qPrintable(prompt));
        std::fflush(stderr);
        char answer[64] = {};
        if (!std::fgets(answer, sizeof answer, stdin)) {
            return false;
        }
        const QString word = QString::fromLocal8Bit(answer).trimmed().toLower();
        return word == QLatin1String("y") || word == QLatin1String("yes");
    }
    std::optional<QString> askAuthor(const QString&) override { return m_author.value_or(QString()); }

private:
    bool m_yes;
    std::optional<QString> m_author;
};

} // namespace

int commandExport(QStringList arguments, const std::optional<QString>& author) {
    const qsizetype yesAt = CliOptions::find(arguments, QStringLiteral("--yes"));
    const bool yes = yesAt >= 0;
    if (yes) {
        arguments.removeAt(yesAt);
    }
    bool bad = false;
    const std::optional<QString> from = takeOption(arguments, "--from", bad);
    const std::optional<QString> to = takeOption(arguments, "--to", bad);
    const std::optional<QString> level = takeOption(arguments, "--level", bad);
    const std::optional<QString> state = takeOption(arguments, "--state", bad);
    if (bad) {
        return 2;
    }
    arguments = CliOptions::operands(arguments);
    if (arguments.size() != 2) {
        return usage(QStringLiteral("export takes a SOURCE and a TARGET library"));
    }

    ExportFilter filter;
    for (const auto& [option, value, field] :
         {std::tuple{"--from", from, &filter.beginDate}, std::tuple{"--to", to, &filter.endDate}}) {
        if (!value) {
            continue;
        }
        const std::optional<QString> date = modExport::ExportDate(*value);
        if (!date || date->isEmpty()) {
            return usage(QStringLiteral("%1 \"%2\" is not a date (yyyy/mm/dd)").arg(QLatin1String(option), *value));
        }
        *field = *date;
    }
    if (level) {
        if (level->isEmpty()) {
            return usage(QStringLiteral("--level needs a level name"));
        }
        filter.level = *level;
    }
    if (state) {
        bool ok = false;
        const int value = state->toInt(&ok);
        if (!ok || value < 0 || value > 32767) {
            return usage(QStringLiteral("--state needs a state number from 0 to 32767"));
        }
        filter.state = value;
    }

    TerminalHost host(yes, author);
    CliProgress progress;
    const modExport::ExportResult result = modExport::ExportCall(arguments[0], arguments[1], filter, host, &progress);
    progress.finish();
    switch (result.outcome) {
    case modExport::Outcome::Moved:
    case modExport::Outcome::NoneFound:
        QTextStream(stdout) << result.count << '\n';
        return 0;
    case modExport::Outcome::Cancelled:
        error(QStringLiteral("nothing was moved"));
        return 1;
    case modExport::Outcome::Refused:
    case modExport::Outcome::Failed:
    case modExport::Outcome::Stopped:
        break;
    }
    return 1;
}

} // namespace CliExport
