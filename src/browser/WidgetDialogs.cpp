#include "IBrowserDialogs.h"

#include "ProgressDialog.h"
#include "SettingChoosers.h"
#include "frmAbout.h"
#include "frmMsgChangeLevel.h"
#include "frmMsgHistoryAdd.h"
#include "frmMsgHistoryDel.h"
#include "frmNotCalledFor.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace {

QString plain(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

void WidgetDialogs::exclamation(const QString& text) {
    QMessageBox::warning(m_parent, QStringLiteral("VornReader"), plain(text));
}

void WidgetDialogs::information(const QString& text) {
    QMessageBox::information(m_parent, QStringLiteral("VornReader"), plain(text));
}

bool WidgetDialogs::question(const QString& text) {
    return QMessageBox::question(m_parent, QStringLiteral("VornReader"), plain(text),
                                 QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

QString WidgetDialogs::qtFilter(const QString& filter) {
    return SettingChoosers::qtFilter(filter);
}

std::optional<QString> WidgetDialogs::openFile(const QString& title, const QString& folder, const QString& filter) {
    QFileDialog dialog(m_parent, title, folder, qtFilter(filter));
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front();
}

std::optional<QString> WidgetDialogs::saveFile(const QString& title, const QString& proposed, const QString& filter) {
    QFileDialog dialog(m_parent, title, proposed, qtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("mdb"));
    // An existing file is asked about by File > New itself, with its own message.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front();
}

QStringList WidgetDialogs::openFiles(const QString& title, const QString& folder, const QString& filter) {
    return QFileDialog::getOpenFileNames(m_parent, title, folder, qtFilter(filter));
}

std::optional<QString> WidgetDialogs::inputText(const QString& prompt) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(m_parent, QStringLiteral("VornReader"), plain(prompt), QLineEdit::Normal, QString(), &ok);
    return ok ? std::optional<QString>(text) : std::nullopt;
}

void WidgetDialogs::about(const QString& caption, const QString& version) {
    frmAbout dialog(caption, version, m_parent);
    dialog.exec();
}

std::optional<HistoryEntryText> WidgetDialogs::historyAdd(const HistoryEntryText& proposed) {
    frmMsgHistoryAdd dialog(proposed.callDate, proposed.partyName, m_parent);
    dialog.exec();
    if (dialog.cancelled) {
        return std::nullopt;
    }
    return HistoryEntryText{dialog.callDate(), dialog.partyName()};
}

std::optional<int> WidgetDialogs::historyDelete(const QList<HistoryEntryText>& rows) {
    QList<QPair<QString, QString>> pairs;
    for (const HistoryEntryText& row : rows) {
        pairs.append({row.callDate, row.partyName});
    }
    frmMsgHistoryDel dialog(pairs, m_parent);
    dialog.exec();
    if (dialog.cancelled) {
        return std::nullopt;
    }
    return dialog.chosenRow();
}

std::optional<QString> WidgetDialogs::changeLevel(const QStringList&) {
    frmMsgChangeLevel dialog(m_parent);
    dialog.exec();
    if (dialog.cancelled) {
        return std::nullopt;
    }
    return dialog.level();
}

std::optional<NotCalledChoice> WidgetDialogs::notCalledFor(const QStringList& parties,
                                                           const NotCalledChoice& proposed) {
    frmNotCalledFor dialog(parties, proposed, m_parent);
    dialog.exec();
    if (dialog.cancelled) {
        return std::nullopt;
    }
    return dialog.choice();
}

std::unique_ptr<IProgress> WidgetDialogs::progress() {
    return std::make_unique<ProgressDialog>(m_parent);
}
