#include "modExcel.h"

#include "AppHome.h"
#include "CodedError.h"
#include "IProgress.h"
#include "OutputFile.h"
#include "SequenceOutput.h"
#include "Translation.h"
#include "modGraphics.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <xlsxwriter.h>

namespace modExcel {

namespace {

const QString kProcName = QStringLiteral("modExcel.ExcelOutSequence");
constexpr double kColumnWidth = 45;
// Characters a cell holds.
constexpr qsizetype kCellText = 32767;

// The cell cursor over one sheet: WriteCell fills a cell and moves down, NextColumn starts the
// next column at row 1.
class SheetWriter {
public:
    SheetWriter(lxw_worksheet* sheet, lxw_format* body, lxw_format* header)
        : m_sheet(sheet), m_body(body), m_header(header) {}

    void WriteCell(const QString& text, bool header = false) {
        if (!text.isEmpty()) {
            if (text.size() > kCellText) {
                throw CodedError(
                    LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED,
                    QStringLiteral("row %1, column %2: the text is longer than a cell holds (%3 characters)")
                        .arg(m_row + 1)
                        .arg(m_column + 1)
                        .arg(text.size()));
            }
            const lxw_error error =
                worksheet_write_string(m_sheet, static_cast<lxw_row_t>(m_row), static_cast<lxw_col_t>(m_column),
                                       text.toUtf8().constData(), header ? m_header : m_body);
            if (error != LXW_NO_ERROR) {
                throw CodedError(error, QString::fromUtf8(lxw_strerror(error)));
            }
        }
        ++m_row;
    }
    // A cell left empty.
    void skipCell() { ++m_row; }
    void NextColumn() {
        ++m_column;
        m_row = 0;
    }
    int column() const { return m_column; }

private:
    lxw_worksheet* m_sheet;
    lxw_format* m_body;
    lxw_format* m_header;
    int m_column = 0;
    int m_row = 0;
};

// The refusal of a library as the target, or the system's reason the file could not be written.
QString failure(const OutputFile& file) {
    return file.refusal() != OutputFile::Refusal::None
               ? modGeneral::TransMessage(file.refusalKey(), {file.path(), file.target()})
               : modGeneral::TransMessage(40169, {file.path(), file.errorString()});
}

// Writes the sequences; returns how many sequences were left without a column.
int writeSheet(ISequenceSource& source, const QList<qint64>& sequences, int notePrint, SheetWriter& sheet,
               QList<qint64>& missing, IProgress* progress) {
    bool first = true;
    int leftOut = 0;
    const QString label =
        modGeneral::LoadTransString(20908, QStringLiteral("Writing sequence %1 of %2 to the spreadsheet..."));
    const auto header = [&](const SequenceRecord& sequence) {
        if (!first) {
            if (sheet.column() + 1 >= MaxColumns) {
                ++leftOut;
                return false;
            }
            sheet.NextColumn();
        }
        first = false;
        sheet.WriteCell(SequenceOutput::levelLine(sequence), true);
        if (sequence.author.isEmpty()) {
            sheet.skipCell();
        } else {
            sheet.WriteCell(SequenceOutput::authorLine(sequence), true);
        }
        if (notePrint == 1 && !sequence.note.isEmpty()) {
            sheet.WriteCell(SequenceOutput::noteLine(sequence), true);
        } else {
            sheet.skipCell();
        }
        return true;
    };
    const auto call = [&](const CallRecord& row) {
        sheet.WriteCell(modGraphics::RemoveMarkup(row.call));
        if (notePrint == 1 && !row.note.isEmpty()) {
            sheet.WriteCell(QStringLiteral("    ") + row.note);
        }
    };
    if (!SequenceOutput::ForEachSequence(source, sequences, label, kProcName, progress, missing, header, call)) {
        throw WorkCancelled();
    }
    return leftOut;
}

// The workbook written to the output file's pending name, which is put in place once complete;
// nothing (and the reason in result) when it cannot be started.
lxw_workbook* openWorkbook(OutputFile& file, const QString& path, ExcelResult& result) {
    if (!file.open()) {
        result.error = failure(file);
        return nullptr;
    }
    lxw_workbook* workbook = workbook_new(QFile::encodeName(file.pendingName()).constData());
    if (workbook == nullptr) {
        result.error = modGeneral::TransMessage(40169, {path, QStringLiteral("cannot create a workbook")});
    }
    return workbook;
}

void closeWorkbook(lxw_workbook* workbook, OutputFile& file, const QString& path, ExcelResult& result) {
    const lxw_error closed = workbook_close(workbook);
    if (closed != LXW_NO_ERROR) {
        result.error = modGeneral::TransMessage(40169, {path, QString::fromUtf8(lxw_strerror(closed))});
        return;
    }
    if (!file.commit()) {
        result.error = failure(file);
        return;
    }
    result.written = true;
}

} // namespace

ExcelResult ExcelOutSequence(ISequenceSource& source, const QList<qint64>& sequences, int notePrint,
                             const QString& path, IProgress* progress) {
    ExcelResult result;
    // The workbook goes to an unnamed file beside its target (written by name through the pending
    // file's own name) and is put in place once it is complete.
    OutputFile file(path);
    lxw_workbook* workbook = openWorkbook(file, path, result);
    if (workbook == nullptr) {
        return result;
    }
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    lxw_format* body = workbook_add_format(workbook);
    format_set_text_wrap(body);
    format_set_align(body, LXW_ALIGN_VERTICAL_TOP);
    lxw_format* header = workbook_add_format(workbook);
    format_set_bold(header);
    format_set_text_wrap(header);
    format_set_align(header, LXW_ALIGN_VERTICAL_TOP);

    SheetWriter writer(sheet, body, header);
    try {
        result.leftOut = writeSheet(source, sequences, notePrint, writer, result.missing, progress);
    } catch (const WorkCancelled&) {
        // The workbook is still only in memory: dropped unwritten, it leaves no file behind.
        lxw_workbook_free(workbook);
        result.cancelled = true;
        result.missing.clear();
        return result;
    } catch (const std::exception& e) {
        SequenceOutput::logError(kProcName, e);
        lxw_workbook_free(workbook);
        result.error = modGeneral::TransMessage(40169, {path, QString::fromLocal8Bit(e.what())});
        return result;
    }
    worksheet_set_column(sheet, 0, static_cast<lxw_col_t>(writer.column()), kColumnWidth, body);

    closeWorkbook(workbook, file, path, result);
    return result;
}

ExcelResult ExcelOutTable(const QStringList& header, const QList<QStringList>& rows, const QString& path) {
    ExcelResult result;
    OutputFile file(path);
    lxw_workbook* workbook = openWorkbook(file, path, result);
    if (workbook == nullptr) {
        return result;
    }
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    lxw_format* body = workbook_add_format(workbook);
    format_set_align(body, LXW_ALIGN_VERTICAL_TOP);
    lxw_format* bold = workbook_add_format(workbook);
    format_set_bold(bold);
    try {
        SheetWriter column(sheet, body, bold);
        for (qsizetype c = 0; c < header.size(); ++c) {
            if (c > 0) {
                column.NextColumn();
            }
            column.WriteCell(header[c], true);
            const qsizetype fit = std::min<qsizetype>(rows.size(), MaxRows - 1);
            for (qsizetype r = 0; r < fit; ++r) {
                column.WriteCell(modGraphics::RemoveMarkup(rows[r].value(c)));
            }
        }
    } catch (const std::exception& e) {
        SequenceOutput::logError(QStringLiteral("modExcel.ExcelOutTable"), e);
        lxw_workbook_free(workbook);
        result.error = modGeneral::TransMessage(40169, {path, QString::fromLocal8Bit(e.what())});
        return result;
    }
    result.leftOut = static_cast<int>(std::max<qsizetype>(0, rows.size() - (MaxRows - 1)));
    closeWorkbook(workbook, file, path, result);
    return result;
}

void RemoveOldWorkFiles() {
    const QDateTime weekAgo = QDateTime::currentDateTime().addDays(-7);
    QDir folder(AppHome::tempPath());
    for (const QFileInfo& entry : folder.entryInfoList({QStringLiteral("*.xlsx")}, QDir::Files)) {
        if (entry.lastModified() < weekAgo) {
            QFile::remove(entry.absoluteFilePath());
        }
    }
}

QString workFileName() {
    const QString stem =
        QStringLiteral("Sequences_") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss"));
    QDir folder(AppHome::tempPath());
    QString name = folder.filePath(stem + QStringLiteral(".xlsx"));
    for (int n = 2; QFileInfo::exists(name); ++n) {
        name = folder.filePath(stem + QStringLiteral("_%1.xlsx").arg(n));
    }
    return name;
}

} // namespace modExcel
