#include "frmFormation.h"

#include "FigureView.h"
#include "GridView.h"
#include "modGeneral.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QVBoxLayout>

namespace {

// The editors work with LF; the library and the drawing with CR LF.
QString toEditor(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString fromEditor(QString text) {
    return text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
}

QLabel* label(const QString& name, const QString& text, QWidget* parent) {
    auto* result = new QLabel(text, parent);
    result->setObjectName(name);
    return result;
}

} // namespace

frmFormation::frmFormation(bool hexMode, QWidget* parent) : QDialog(parent), m_hexMode(hexMode) {
    setObjectName(QStringLiteral("frmFormation"));
    setWindowTitle(modGeneral::LoadTransString(20500));
    auto* layout = new QGridLayout(this);

    m_formation = new QPlainTextEdit(this);
    m_formation->setObjectName(QStringLiteral("txtFormation"));
    m_formation->setFont(diagramFont(QFontDatabase::systemFont(QFontDatabase::FixedFont)));
    m_formation->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_formation->setTabChangesFocus(true);
    m_formation->setMinimumWidth(m_formation->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 32);
    layout->addWidget(m_formation, 0, 0);

    auto* notePane = new QWidget(this);
    auto* noteLayout = new QVBoxLayout(notePane);
    noteLayout->setContentsMargins(0, 0, 0, 0);
    noteLayout->addWidget(label(QStringLiteral("lblNote"), QStringLiteral("Note:"), notePane));
    m_note = new QPlainTextEdit(notePane);
    m_note->setObjectName(QStringLiteral("txtNote"));
    m_note->setTabChangesFocus(true);
    m_note->setFixedHeight(m_note->fontMetrics().lineSpacing() * 4 + 12);
    noteLayout->addWidget(m_note);
    m_hexInfo = new GridView(QStringLiteral("grdHexInfo"), notePane);
    m_hexModel = new QStandardItemModel(1, 1, this);
    m_hexModel->setItem(0, 0, new QStandardItem);
    m_hexInfo->setModel(m_hexModel);
    m_hexInfo->horizontalHeader()->setStretchLastSection(true);
    m_hexInfo->setFixedHeight(m_hexInfo->fontMetrics().height() + 10);
    m_hexInfo->setCurrentIndex(m_hexModel->index(0, 0));
    m_hexInfo->installEventFilter(this);
    m_hexInfo->setVisible(m_hexMode);
    noteLayout->addWidget(m_hexInfo);
    layout->addWidget(notePane, 1, 0);

    auto* pictureBox = new QWidget(this);
    auto* pictureLayout = new QVBoxLayout(pictureBox);
    pictureLayout->setContentsMargins(0, 0, 0, 0);
    pictureLayout->addWidget(label(QStringLiteral("lblFormation"), QStringLiteral(" Formation"), pictureBox));
    auto* container = new QWidget(pictureBox);
    container->setObjectName(QStringLiteral("picContainer"));
    auto* containerLayout = new QVBoxLayout(container);
    containerLayout->setContentsMargins(0, 0, 0, 0);
    m_picture = new FigureView(QStringLiteral("picFormation"), container);
    m_picture->setMinimumSize(240, 240);
    containerLayout->addWidget(m_picture);
    pictureLayout->addWidget(container, 1);
    layout->addWidget(pictureBox, 0, 1, 2, 1);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(0, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* clear = buttons->addButton(modGeneral::LoadTransString(20501), QDialogButtonBox::ResetRole);
    clear->setObjectName(QStringLiteral("cmdClearFormation"));
    QPushButton* ok = buttons->addButton(modGeneral::LoadTransString(20591), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdOK"));
    QPushButton* cancel = buttons->addButton(modGeneral::LoadTransString(20592), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(clear, &QPushButton::clicked, this, &frmFormation::cmdClearFormation_Click);
    connect(ok, &QPushButton::clicked, this, &frmFormation::cmdOK_Click);
    connect(cancel, &QPushButton::clicked, this, &frmFormation::cmdCancel_Click);
    layout->addWidget(buttons, 2, 0, 1, 2);

    connect(m_formation, &QPlainTextEdit::textChanged, this, &frmFormation::redraw);
    connect(m_hexModel, &QStandardItemModel::itemChanged, this, &frmFormation::redraw);
    m_formation->setFocus();
}

bool frmFormation::alignsColumns(const QFont& font) {
    // Every character a diagram is made of takes the same width; what fontconfig calls the font's
    // spacing is not enough (Noto Sans Mono is reported proportional for its wide glyphs).
    const QFontMetricsF metrics(font);
    const qreal width = metrics.horizontalAdvance(QLatin1Char('.'));
    for (const QChar c : QStringLiteral("0123456789BG^>V< ")) {
        if (!qFuzzyCompare(metrics.horizontalAdvance(c), width)) {
            return false;
        }
    }
    return true;
}

QFont frmFormation::diagramFont(const QFont& platformFixed) {
    if (alignsColumns(platformFixed)) {
        return platformFixed;
    }
    QFont font = platformFixed;
    for (const char* family : {"monospace", "DejaVu Sans Mono", "Liberation Mono", "Noto Sans Mono", "Courier New"}) {
        font.setFamilies({QLatin1String(family)});
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
        if (alignsColumns(font)) {
            break;
        }
    }
    return font;
}

void frmFormation::setTexts(const FormationText& call) {
    m_hexModel->item(0, 0)->setText(call.hexInfo);
    m_note->setPlainText(toEditor(call.note));
    m_formation->setPlainText(toEditor(call.figure));
    redraw();
}

FormationText frmFormation::texts() const {
    return {fromEditor(m_formation->toPlainText()), fromEditor(m_note->toPlainText()), m_hexModel->item(0, 0)->text()};
}

void frmFormation::redraw() {
    m_picture->setFigure(fromEditor(m_formation->toPlainText()), m_hexModel->item(0, 0)->text(), QString(), m_hexMode);
}

void frmFormation::cmdClearFormation_Click() {
    m_formation->clear();
}

void frmFormation::cmdOK_Click() {
    cancelled = false;
    accept();
}

void frmFormation::cmdCancel_Click() {
    cancelled = true;
    reject();
}

void frmFormation::showEvent(QShowEvent* event) {
    cancelled = true;
    m_hexInfo->setVisible(m_hexMode);
    QDialog::showEvent(event);
}

bool frmFormation::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_hexInfo && event->type() == QEvent::KeyPress && !m_hexInfo->isEditing()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_hexInfo->setCurrentIndex(m_hexModel->index(0, 0));
            m_hexInfo->editCurrent();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

std::optional<FormationText> WidgetDialogs::editFormation(const FormationText& call, bool hexMode) {
    frmFormation dialog(hexMode, m_parent);
    dialog.setTexts(call);
    dialog.exec();
    if (dialog.cancelled) {
        return std::nullopt;
    }
    return dialog.texts();
}
