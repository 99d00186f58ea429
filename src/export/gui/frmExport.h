#pragma once

#include <QDialog>

class IExportDialogs;
class QComboBox;
class QLabel;
class QLineEdit;

// File > Export: the source and target libraries, the filter (date range, level, state), and the
// command that moves the sequences it takes. The dialog works on closed files; the caller closes
// the open library before showing it and reopens it afterwards.
class frmExport : public QDialog {
    Q_OBJECT

public:
    explicit frmExport(IExportDialogs& dialogs, QWidget* parent = nullptr);

    // Sets the source to sourcePath when that file exists (its levels and states fill the lists),
    // empties the target; folder is where the file choosers start.
    void Form_Load(const QString& sourcePath, const QString& folder);

    // Index 0 chooses the source, 1 the target.
    void cmdBrowse_Click(int index);
    // Checks the paths and the dates (rewritten as yyyy/mm/dd), then moves the sequences.
    void cmdExecute_Click();
    void cmdClose_Click();

    // The chosen path of the source (0) or the target (1).
    QString fileName(int index) const;
    // The sequences moved since the dialog was loaded.
    qint64 movedCount() const { return m_moved; }

Q_SIGNALS:
    // A move finished with this many sequences.
    void exported(qint64 count);

private:
    void setFileName(int index, const QString& path);
    void fillLists(const QString& path);

    IExportDialogs& m_dialogs;
    QString m_folder;
    QLabel* m_fileNames[2] = {nullptr, nullptr};
    QLineEdit* m_beginDate = nullptr;
    QLineEdit* m_endDate = nullptr;
    QComboBox* m_level = nullptr;
    QComboBox* m_property = nullptr;
    qint64 m_moved = 0;
};
