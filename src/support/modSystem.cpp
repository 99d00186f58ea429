#include "modSystem.h"

#include "AppHome.h"
#include "IErrorBox.h"
#include "IniFile.h"
#include "OutputFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <cstdio>
#include <cstdlib>

namespace {

class StderrErrorBox final : public IErrorBox {
public:
    bool askContinue(const ErrorBoxReport& report) override {
        std::fprintf(stderr, "VornReader: %s\n", qPrintable(report.report));
        return true;
    }
};

StderrErrorBox g_defaultBox;
IErrorBox* g_box = &g_defaultBox;
std::function<QString()> g_question;

} // namespace

namespace modSystem {

void setErrorBox(IErrorBox* box) {
    g_box = box ? box : &g_defaultBox;
}

void setErrorQuestion(std::function<QString()> question) {
    g_question = std::move(question);
}

QString ErrorReport(const QString& procedureName, const ErrorInfo& error, const QString& extraText) {
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    QString report = locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                     locale.toString(now.time(), QLocale::LongFormat) + QStringLiteral("\r\n") + procedureName +
                     QStringLiteral("\r\n\r\nErrorNo.") + QString::number(error.number) + QStringLiteral(" : ") +
                     error.description;
    if (!extraText.isEmpty()) {
        report += QStringLiteral("\r\n\r\n") + extraText;
    }
    return report;
}

namespace {

// Replaces the log with the report. A log that cannot be written is skipped (the box is still
// shown); one whose name leads to a library is left alone, and the refusal goes with the report.
void writeLog(const QString& report, ErrorBoxReport* boxReport = nullptr) {
    OutputFile log(AppHome::resolve(QString::fromUtf16(ErrorLogName)));
    if (!log.open()) {
        if (boxReport != nullptr && log.refusal() != OutputFile::Refusal::None) {
            boxReport->logRefusalKey = log.refusalKey();
            boxReport->logRefusalArguments = {log.path(), log.target()};
        }
        return;
    }
    log.device().write((report + QStringLiteral("\r\n")).toUtf8());
    log.commit();
}

} // namespace

void WriteErrorLogFile(const QString& procedureName, const ErrorInfo& error, const QString& extraText) {
    writeLog(ErrorReport(procedureName, error, extraText));
}

void WriteErrorLog(const QString& procedureName, const ErrorInfo& error, const QString& extraText) {
    ErrorBoxReport boxReport{procedureName, error, ErrorReport(procedureName, error, extraText), {}, 0, {}};
    writeLog(boxReport.report, &boxReport);
    boxReport.question = g_question ? g_question() : QString();
    boxReport.question.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
    if (!g_box->askContinue(boxReport)) {
        std::_Exit(EXIT_FAILURE);
    }
}

QString GetIniString(const QString& section, const QString& key, const QString& fileName, const QString& def) {
    const std::optional<QString> value = IniFile::read(AppHome::resolve(fileName), section, key);
    return value ? value->left(1023) : def.left(1023);
}

qint16 GetIniInteger(const QString& section, const QString& key, const QString& fileName, qint16 def) {
    const std::optional<QString> value = IniFile::read(AppHome::resolve(fileName), section, key);
    if (!value) {
        return def;
    }
    // The leading decimal integer, as the platform reads it; anything outside 16 bits gives 0.
    const QString text = value->trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    qint64 number = 0;
    for (; i < text.size() && text[i].isDigit() && text[i].unicode() < 128; ++i) {
        number = number * 10 + (text[i].unicode() - u'0');
        if (number > 1'000'000) {
            return 0;
        }
    }
    if (negative) {
        number = -number;
    }
    return (number < -32768 || number > 32767) ? 0 : static_cast<qint16>(number);
}

bool GetIniBoolean(const QString& section, const QString& key, const QString& fileName, bool def) {
    const QString text = GetIniString(section, key, fileName, def ? QStringLiteral("True") : QStringLiteral("False"));
    return text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
}

bool WriteIniValue(const QString& section, const QString& key, const QString& value, const QString& fileName) {
    return IniFile::write(AppHome::resolve(fileName), section, key, value);
}

bool WriteIniValue(const QString& section, const QString& key, const char* value, const QString& fileName) {
    return WriteIniValue(section, key, QString::fromUtf8(value), fileName);
}

bool WriteIniValue(const QString& section, const QString& key, int value, const QString& fileName) {
    return WriteIniValue(section, key, QString::number(value), fileName);
}

bool WriteIniValue(const QString& section, const QString& key, double value, const QString& fileName) {
    return WriteIniValue(section, key, QString::number(value, 'g', 15), fileName);
}

bool WriteIniValue(const QString& section, const QString& key, bool value, const QString& fileName) {
    return WriteIniValue(section, key, value ? QStringLiteral("True") : QStringLiteral("False"), fileName);
}

bool FileExists(const QString& path) {
    if (path.isEmpty() || QFileInfo(path).isDir()) {
        return false;
    }
    QFile file(path);
    return file.open(QIODevice::ReadOnly);
}

QString NullToText(const QVariant& value) {
    return value.isNull() ? QString() : value.toString();
}

QString TrimNull(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

int StrScanf(const QString& text, QStringList& words, const QString& terminator) {
    const QChar term = terminator.isEmpty() ? QChar() : terminator.front();
    const bool hasTerm = !terminator.isEmpty();
    auto isTerm = [&](QChar c) { return hasTerm && c == term; };
    auto isBlank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    auto isBreak = [](QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); };

    QStringList found;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        if (isBreak(text[i]) || isTerm(text[i])) {
            break;
        }
        while (i < n && isBlank(text[i])) {
            ++i;
        }
        // A word without quotes is one slice of the text; only quotes need building char by char.
        const qsizetype start = i;
        QString word;
        bool quoting = false;
        bool quoted = false;
        for (; i < n; ++i) {
            const QChar c = text[i];
            if (c == QLatin1Char('"')) {
                if (!quoted) {
                    word = text.mid(start, i - start);
                    quoted = true;
                }
                quoting = !quoting;
                continue;
            }
            if (!quoting && (isBlank(c) || isBreak(c) || isTerm(c))) {
                break;
            }
            if (quoted) {
                word += c;
            }
        }
        if (!quoted) {
            word = text.mid(start, i - start);
        }
        if (!word.isEmpty()) {
            found.append(word);
        }
    }
    if (!found.isEmpty()) {
        words = found;
    }
    return static_cast<int>(found.size());
}

} // namespace modSystem
