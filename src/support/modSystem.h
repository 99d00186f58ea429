#pragma once

#include "ErrorInfo.h"

#include <QStringList>
#include <QVariant>
#include <functional>

class IErrorBox;

// Small services every other module relies on: the error log with its error box, INI access
// and a few text helpers.
namespace modSystem {

inline constexpr char16_t ErrorLogName[] = u"VornReaderErr.log";

// The box WriteErrorLog asks; nullptr restores the default, which prints the report on standard
// error and goes on. The caller keeps ownership.
void setErrorBox(IErrorBox* box);

// Supplies the question shown under a report (a translated text); empty until set.
void setErrorQuestion(std::function<QString()> question);

// The report block: date and time, procedure, empty line, "ErrorNo.n : text", optional extra.
QString ErrorReport(const QString& procedureName, const ErrorInfo& error, const QString& extraText = {});

// Writes the report into VornReaderErr.log (replacing the previous one) and asks the error box.
// OK returns; Cancel ends the process at once, without any shutdown steps.
void WriteErrorLog(const QString& procedureName, const ErrorInfo& error, const QString& extraText = {});

// Writes the report into the log without asking: for a failure the user is told about in a
// message of its own.
void WriteErrorLogFile(const QString& procedureName, const ErrorInfo& error, const QString& extraText = {});

// INI helpers. A file name without a folder separator is in the application home.
QString GetIniString(const QString& section, const QString& key, const QString& fileName, const QString& def);
qint16 GetIniInteger(const QString& section, const QString& key, const QString& fileName, qint16 def);
bool GetIniBoolean(const QString& section, const QString& key, const QString& fileName, bool def);
bool WriteIniValue(const QString& section, const QString& key, const QString& value, const QString& fileName);
bool WriteIniValue(const QString& section, const QString& key, const char* value, const QString& fileName);
bool WriteIniValue(const QString& section, const QString& key, int value, const QString& fileName);
bool WriteIniValue(const QString& section, const QString& key, double value, const QString& fileName);
bool WriteIniValue(const QString& section, const QString& key, bool value, const QString& fileName);

bool FileExists(const QString& path);
QString NullToText(const QVariant& value);
QString TrimNull(const QString& text);

// Splits the first line of text into words separated by blanks or tabs; a double quote toggles
// quoting and is dropped. words is replaced only when at least one word is found.
int StrScanf(const QString& text, QStringList& words, const QString& terminator = {});

} // namespace modSystem
