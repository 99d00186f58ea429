#include "frmExport.h"

#include "IExportDialogs.h"
#include "LibraryFile.h"
#include "modExport.h"
#include "modGeneral.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The list fillers' list control over a combo box; an item's tag is its user data.
class ComboControl final : public modGeneral::IListControl {
public:
    explicit ComboControl(QComboBox* box) : m_box(box) {}
    void clear() override { m_box->clear(); }
    void addItem(const QString& text, int itemData) override { m_box->addItem(text, itemData); }
    int count() const override { return m_box->count(); }
    void setListIndex(int index) override { m_box->setCurrentIndex(index); }

private:
    QComboBox* m_box;
};

// The dialog's answers, with the wait cursor while the sequences move.
class CursorHost final : public IExportHost {
public:
    explicit CursorHost(IExportDialogs& dialogs) : m_dialogs(dialogs) {}
    void exclamation(const QString& text) override { m_dialogs.exclamation(text); }
    void information(const QString& text) override { m_dialogs.information(text); }
    bool question(const QString& text) override { return m_dialogs.question(text); }
    std::optional<QString> askAuthor(const QString& prompt) override { return m_dialogs.askAuthor(prompt); }
    void busy(bool on) override {
        if (on) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        } else {
            QApplication::restoreOverrideCursor();
        }
    }

private:
    IExportDialogs& m_dialogs;
};

QLabel* label(QWidget* parent, const char* name, int key) {
    auto* result = new QLabel(key ? modGeneral::LoadTransString(key) : QString(), parent);
    result->setObjectName(QLatin1String(name));
    return result;
}

QString indexed(const char* name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

} // namespace

frmExport::frmExport(IExportDialogs& dialogs, QWidget* parent) : QDialog(parent), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("frmExport"));
    setWindowTitle(modGeneral::LoadTransString(20200));

    auto* files = new QGridLayout;
    const char* const rowLabels[] = {"lblDBSource", "lblDBExport"};
    const int rowKeys[] = {20201, 20202};
    for (int i = 0; i < 2; ++i) {
        m_fileNames[i] = new QLabel(this);
        m_fileNames[i]->setObjectName(indexed("lblFileName", i));
        m_fileNames[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        m_fileNames[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        m_fileNames[i]->setMinimumWidth(360);
        m_fileNames[i]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        auto* browse = new QPushButton(modGeneral::LoadTransString(21911), this);
        browse->setObjectName(indexed("cmdBrowse", i));
        browse->setAutoDefault(false);
        connect(browse, &QPushButton::clicked, this, [this, i] { cmdBrowse_Click(i); });
        files->addWidget(label(this, rowLabels[i], rowKeys[i]), i, 0);
        files->addWidget(m_fileNames[i], i, 1);
        files->addWidget(browse, i, 2);
    }
    files->setColumnStretch(1, 1);

    auto* frame = new QGroupBox(modGeneral::LoadTransString(20210), this);
    frame->setObjectName(QStringLiteral("fraFilterExport"));
    auto* filter = new QGridLayout(frame);
    m_beginDate = new QLineEdit(frame);
    m_beginDate->setObjectName(QStringLiteral("txtBeginDate"));
    m_endDate = new QLineEdit(frame);
    m_endDate->setObjectName(QStringLiteral("txtEndDate"));
    for (QLineEdit* box : {m_beginDate, m_endDate}) {
        box->setMaxLength(20);
        box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000/00/00")) + 24);
    }
    auto* dates = new QHBoxLayout;
    dates->addWidget(m_beginDate);
    dates->addWidget(new QLabel(QStringLiteral("～"), frame));
    dates->addWidget(m_endDate);
    auto* example = new QLabel(QStringLiteral("(ex.:2002/01/01)"), frame);
    example->setObjectName(QStringLiteral("Label6"));
    dates->addWidget(example);
    dates->addStretch(1);
    m_level = new QComboBox(frame);
    m_level->setObjectName(QStringLiteral("cboLevel"));
    m_property = new QComboBox(frame);
    m_property->setObjectName(QStringLiteral("cboProperty"));
    for (QComboBox* box : {m_level, m_property}) {
        box->setMinimumContentsLength(14);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    }
    filter->addWidget(label(frame, "lblFilterDate", 20211), 0, 0);
    filter->addLayout(dates, 0, 1);
    filter->addWidget(label(frame, "lblFilterLevel", 20212), 1, 0);
    filter->addWidget(m_level, 1, 1, Qt::AlignLeft);
    filter->addWidget(label(frame, "lblFilterState", 20213), 2, 0);
    filter->addWidget(m_property, 2, 1, Qt::AlignLeft);
    filter->setColumnStretch(1, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* execute = buttons->addButton(modGeneral::LoadTransString(20291), QDialogButtonBox::ActionRole);
    execute->setObjectName(QStringLiteral("cmdExecute"));
    QPushButton* close = buttons->addButton(modGeneral::LoadTransString(20292), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("cmdClose"));
    connect(execute, &QPushButton::clicked, this, &frmExport::cmdExecute_Click);
    connect(close, &QPushButton::clicked, this, &frmExport::cmdClose_Click);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(files);
    layout->addWidget(frame);
    layout->addWidget(buttons);
}

void frmExport::Form_Load(const QString& sourcePath, const QString& folder) {
    m_folder = folder;
    m_moved = 0;
    const bool present = !sourcePath.isEmpty() && QFileInfo(sourcePath).isFile();
    setFileName(0, present ? LibraryFile::absolutePath(sourcePath) : QString());
    setFileName(1, QString());
    m_level->clear();
    m_property->clear();
    if (present && LibraryFile::inspect(fileName(0)).status == LibraryFile::Status::Ok) {
        fillLists(fileName(0));
    }
}

QString frmExport::fileName(int index) const {
    return index == 0 || index == 1 ? m_fileNames[index]->text() : QString();
}

void frmExport::setFileName(int index, const QString& path) {
    m_fileNames[index]->setText(path);
    m_fileNames[index]->setToolTip(path);
}

void frmExport::fillLists(const QString& path) {
    ComboControl level(m_level);
    modGeneral::CreateVornLevelList(level, path);
    ComboControl property(m_property);
    modGeneral::CreateVornPropertyList(property, path);
    // Each state beside its icon in the list, as the caller knows it.
    for (int i = 1; i < m_property->count(); ++i) {
        m_property->setItemIcon(i, m_dialogs.stateIcon(m_property->itemData(i).toInt()));
    }
}

void frmExport::cmdBrowse_Click(int index) {
    if (index != 0 && index != 1) {
        return;
    }
    const std::optional<QString> chosen = m_dialogs.chooseFile(modGeneral::LoadTransString(index == 0 ? 30104 : 30105),
                                                               m_folder, modGeneral::LoadTransString(30111));
    if (!chosen || chosen->isEmpty()) {
        return;
    }
    const QString path = LibraryFile::absolutePath(*chosen);
    // A file that cannot take part is turned away when it is chosen, with the reason.
    const QString refusal = modExport::CheckLibrary(path);
    if (!refusal.isEmpty()) {
        m_dialogs.exclamation(refusal);
        return;
    }
    setFileName(index, path);
    if (index == 0) {
        fillLists(path);
    }
}

void frmExport::cmdExecute_Click() {
    const QString source = fileName(0);
    const QString target = fileName(1);
    const QString refusal = modExport::CheckPaths(source, target);
    if (!refusal.isEmpty()) {
        m_dialogs.exclamation(refusal);
        return;
    }
    ExportFilter filter;
    for (QLineEdit* box : {m_beginDate, m_endDate}) {
        const std::optional<QString> date = modExport::ExportDate(box->text());
        if (!date) {
            m_dialogs.exclamation(modGeneral::TransMessage(40214, {box->text()}));
            box->setFocus();
            box->selectAll();
            return;
        }
        box->setText(*date);
        (box == m_beginDate ? filter.beginDate : filter.endDate) = *date;
    }
    filter.level = m_level->currentIndex() >= 1 ? m_level->currentText() : QString();
    filter.state = m_property->currentIndex() >= 1 ? m_property->currentData().toInt() : -1;

    CursorHost host(m_dialogs);
    const std::unique_ptr<IProgress> progress = m_dialogs.progress();
    const modExport::ExportResult result = modExport::ExportCall(source, target, filter, host, progress.get());
    if (result.outcome == modExport::Outcome::Moved) {
        m_moved += result.count;
        Q_EMIT exported(result.count);
    }
}

void frmExport::cmdClose_Click() {
    reject();
}
