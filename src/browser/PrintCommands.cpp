#include "PrintCommands.h"

#include "Database.h"
#include "GridView.h"
#include "IBrowserDialogs.h"
#include "LibraryReader.h"
#include "MainMenus.h"
#include "PdfOutput.h"
#include "PrintDialogs.h"
#include "PrintService.h"
#include "PrinterDefaults.h"
#include "SelectionOrder.h"
#include "SequenceList.h"
#include "SequenceListModel.h"
#include "Settings.h"
#include "frmPreview.h"
#include "modExcel.h"
#include "modGeneral.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QPrinter>

namespace {

// The wait cursor while a command works.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

PrintCommands::PrintCommands(Settings& settings, Database& db, SequenceList& sequences, IBrowserDialogs& dialogs,
                             MainMenus& menus, QWidget* window)
    : QObject(window), m_settings(settings), m_db(db), m_sequences(sequences), m_dialogs(dialogs), m_menus(menus),
      m_window(window), m_ownPrintDialogs(std::make_unique<PrintDialogs>(window)),
      m_printDialogs(m_ownPrintDialogs.get()) {
    setObjectName(QStringLiteral("PrintCommands"));
    // The paper of the system's default printer, unless the INI names one: the window reads the INI
    // after this, over these values.
    const PageSetup paper = PrinterDefaults::defaultPaper();
    m_settings.pageSetup.PaperSize = paper.PaperSize;
    m_settings.pageSetup.Orientation = paper.Orientation;
    m_order = new SelectionOrder(*m_sequences.model(), *m_sequences.view(), this);
    connect(m_menus.filePrintSet, &QAction::triggered, this, &PrintCommands::editPageSetup);
    connect(m_menus.filePrint, &QAction::triggered, this, &PrintCommands::printSelected);
    connect(m_menus.filePrintPreview, &QAction::triggered, this, &PrintCommands::previewSelected);
    connect(m_menus.fileExcelOut, &QAction::triggered, this, &PrintCommands::exportToExcel);
    SequenceListModel* model = m_sequences.model();
    connect(model, &SequenceListModel::modelReset, this, &PrintCommands::updateCommands);
    connect(model, &SequenceListModel::rowsInserted, this, &PrintCommands::updateCommands);
    connect(model, &SequenceListModel::rowsRemoved, this, &PrintCommands::updateCommands);
    updateCommands();
    modExcel::RemoveOldWorkFiles();
}

PrintCommands::~PrintCommands() = default;

void PrintCommands::setPrintDialogs(IPrintDialogs* dialogs) {
    m_printDialogs = dialogs != nullptr ? dialogs : m_ownPrintDialogs.get();
}

void PrintCommands::updateCommands() {
    const bool enabled = m_db.isOpen() && m_sequences.rowCount() > 0;
    for (QAction* command : {m_menus.filePrintSet, m_menus.filePrint, m_menus.filePrintPreview, m_menus.fileExcelOut}) {
        command->setEnabled(enabled);
    }
}

QList<qint64> PrintCommands::selectedInOrder() const {
    return m_order->ordered(m_sequences.selectedSequences());
}

void PrintCommands::loadPageSetup() {
    m_printer.pageSetup = m_settings.pageSetup;
}

void PrintCommands::storePageSetup() {
    m_settings.pageSetup = m_printer.pageSetup;
}

void PrintCommands::editPageSetup() {
    loadPageSetup();
    PageSetup setup = m_printer.pageSetup;
    if (!m_printDialogs->pageSetup(setup)) {
        return;
    }
    m_printer.pageSetup = setup;
    storePageSetup();
}

void PrintCommands::printSequences(const QList<qint64>& sequences, const modPrint::PrintOptions& options) {
    loadPageSetup();
    QPrinter device(QPrinter::HighResolution);
    device.setPageLayout(clsPrinter::pageLayout(m_printer.pageSetup.PaperSize, m_printer.pageSetup.Orientation));
    // The document (a PDF's title, a printer job's name) is named after the library.
    device.setDocName(QFileInfo(m_db.path()).completeBaseName());
    if (!m_printDialogs->print(device)) {
        return;
    }
    // The paper chosen in the print dialog is the printer's from now on, as after page setup.
    const QPageLayout chosen = device.pageLayout();
    if (chosen.pageSize().windowsId() > 0 && QPageSize::id(chosen.pageSize().windowsId()) != QPageSize::Custom) {
        m_printer.pageSetup.PaperSize = chosen.pageSize().windowsId();
    }
    m_printer.pageSetup.Orientation = chosen.orientation() == QPageLayout::Landscape ? 2 : 1;
    storePageSetup();
    WaitCursor wait;
    const std::unique_ptr<IProgress> progress = m_dialogs.progress();
    // A PDF file is written as the command-line tool writes it: complete or not at all, and never
    // over a library. A printer gets the pages only once all are laid out, so a Cancel sends none.
    const QString file = device.outputFormat() == QPrinter::PdfFormat ? device.outputFileName() : QString();
    if (!file.isEmpty()) {
        LibraryReader reader(m_db);
        const PdfOutput::Result result =
            PdfOutput::PrintSequence(reader, m_db.path(), sequences, options, m_printer, file, progress.get());
        if (!result.error.isEmpty()) {
            m_dialogs.exclamation(result.error);
        }
        return;
    }
    m_printer.setPreview(false);
    m_printer.setDeferred(true);
    m_printer.setPrinter(&device);
    m_printer.setJobCheck(PrintService::lastRefusal);
    LibraryReader reader(m_db);
    modPrint::PrintSequence(reader, sequences, options, m_printer, progress.get());
    m_printer.setJobCheck({});
    m_printer.setPrinter(nullptr);
    m_printer.setDeferred(false);
}

void PrintCommands::printSelected() {
    if (m_sequences.rowCount() == 0) {
        return;
    }
    printSequences(selectedInOrder(), modPrint::PrintOptions::fromSettings(m_settings));
}

void PrintCommands::previewSelected() {
    if (m_sequences.rowCount() == 0) {
        return;
    }
    if (m_preview == nullptr) {
        m_preview = new frmPreview(m_settings.previewForm, m_window);
        connect(m_preview, &frmPreview::printRequested, this,
                [this] { printSequences(m_previewed, m_previewOptions); });
    }
    const QList<qint64> sequences = selectedInOrder();
    const modPrint::PrintOptions options = modPrint::PrintOptions::fromSettings(m_settings);
    loadPageSetup();
    WaitCursor wait;
    const std::unique_ptr<IProgress> progress = m_dialogs.progress();
    m_printer.setPreview(true);
    m_printer.setForm(m_preview);
    LibraryReader reader(m_db);
    modPrint::PrintSequence(reader, sequences, options, m_printer, progress.get());
    // A preview given up shows nothing new: an open preview keeps its pages, and its Print button
    // prints what it shows.
    if (!progress || !progress->cancelled()) {
        m_previewed = sequences;
        m_previewOptions = options;
    }
}

void PrintCommands::exportToExcel() {
    if (m_sequences.rowCount() == 0) {
        return;
    }
    const QString path = modExcel::workFileName();
    modExcel::ExcelResult result;
    {
        WaitCursor wait;
        const std::unique_ptr<IProgress> progress = m_dialogs.progress();
        LibraryReader reader(m_db);
        result = modExcel::ExcelOutSequence(reader, selectedInOrder(), m_settings.NotePrint, path, progress.get());
    }
    if (result.cancelled) {
        return;
    }
    if (!result.written) {
        m_dialogs.exclamation(result.error);
        return;
    }
    if (result.leftOut > 0) {
        m_dialogs.information(modGeneral::TransCount(40142, 40143, result.leftOut, {modExcel::MaxColumns}));
    }
    showWorkbook(path);
}

void PrintCommands::writeTable(const QStringList& header, const QList<QStringList>& rows) {
    const QString path = modExcel::workFileName();
    modExcel::ExcelResult result;
    {
        WaitCursor wait;
        result = modExcel::ExcelOutTable(header, rows, path);
    }
    if (!result.written) {
        m_dialogs.exclamation(result.error);
        return;
    }
    showWorkbook(path);
}

void PrintCommands::showWorkbook(const QString& path) {
    // The workbook stays where it is when nothing opens it: the user can open it another way.
    if (!m_printDialogs->openFile(path)) {
        m_dialogs.exclamation(modGeneral::TransMessage(40170, {path}));
    }
}
