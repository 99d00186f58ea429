#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// A PDF file read back through the poppler tools (Debian poppler-utils).

// What the tool prints for the arguments; empty when it cannot run or fails.
inline QString pdfTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of the PDF, of one page when page is 1 or more.
inline QString pdfText(const QString& path, int page = 0) {
    QStringList arguments{QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")};
    if (page > 0) {
        arguments =
            QStringList{QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page)} +
            arguments;
    }
    return pdfTool(QStringLiteral("pdftotext"), arguments);
}

// A field of pdfinfo ("Title", "Pages", "Page size" ...); empty when there is none.
inline QString pdfInfo(const QString& path, const QString& field) {
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^%1:\\s+(.*)$").arg(field), QRegularExpression::MultilineOption)
            .match(pdfTool(QStringLiteral("pdfinfo"), {path}));
    return match.hasMatch() ? match.captured(1) : QString();
}

// The number of pages; -1 when the file is no PDF.
inline int pdfPages(const QString& path) {
    const QString pages = pdfInfo(path, QStringLiteral("Pages"));
    return pages.isEmpty() ? -1 : pages.toInt();
}
