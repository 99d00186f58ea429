#pragma once

#include "PrintSequence.h"
#include "clsPrinter.h"

#include <QList>
#include <QObject>
#include <memory>

class Database;
class IBrowserDialogs;
class IPrintDialogs;
class MainMenus;
class QWidget;
class SelectionOrder;
class SequenceList;
class frmPreview;
struct Settings;

// The File menu's page setup, print, print preview and spreadsheet output over the selected
// sequences in the order they were selected, and the enabling of those four items (a library open
// and at least one sequence listed). The page output device and the preview window live here for
// the program's run; the page setup starts from the system's default printer.
class PrintCommands : public QObject {
    Q_OBJECT

public:
    PrintCommands(Settings& settings, Database& db, SequenceList& sequences, IBrowserDialogs& dialogs, MainMenus& menus,
                  QWidget* window);
    ~PrintCommands() override;

    // The page-setup and print dialogs and the file opener; nullptr restores the real ones.
    void setPrintDialogs(IPrintDialogs* dialogs);

    clsPrinter& printer() { return m_printer; }
    // The preview window once a preview has been shown.
    frmPreview* preview() const { return m_preview; }

    void editPageSetup();
    void printSelected();
    void previewSelected();
    void exportToExcel();
    void updateCommands();
    // Opens a written workbook for the user; says where it is when nothing could open it.
    void showWorkbook(const QString& path);
    // Writes a table (the history window's rows) to a new workbook and shows it.
    void writeTable(const QStringList& header, const QList<QStringList>& rows);

private:
    // The selected sequences in the order they were selected.
    QList<qint64> selectedInOrder() const;
    void loadPageSetup();
    void storePageSetup();
    // The print dialog, then the layout of the sequences on the chosen printer.
    void printSequences(const QList<qint64>& sequences, const modPrint::PrintOptions& options);

    Settings& m_settings;
    Database& m_db;
    SequenceList& m_sequences;
    IBrowserDialogs& m_dialogs;
    MainMenus& m_menus;
    QWidget* m_window;
    std::unique_ptr<IPrintDialogs> m_ownPrintDialogs;
    IPrintDialogs* m_printDialogs;
    clsPrinter m_printer;
    SelectionOrder* m_order = nullptr;
    frmPreview* m_preview = nullptr;
    // What the preview shows, so that its Print button prints the same pages.
    QList<qint64> m_previewed;
    modPrint::PrintOptions m_previewOptions;
};
