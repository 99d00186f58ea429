#include "PrintDialogs.h"

#include <QDesktopServices>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>

PrintDialogs::PrintDialogs(QWidget* owner) : m_owner(owner) {}

PrintDialogs::~PrintDialogs() = default;

bool PrintDialogs::pageSetup(PageSetup& setup) {
    if (!m_pageSetup) {
        m_pageSetup = std::make_unique<clsPageSetupDlg>();
    }
    m_pageSetup->owner = m_owner;
    m_pageSetup->values = setup;
    if (!m_pageSetup->Show()) {
        return false;
    }
    setup = m_pageSetup->values;
    return true;
}

bool PrintDialogs::print(QPrinter& printer) {
    QPrintDialog dialog(&printer, m_owner);
    dialog.setObjectName(QStringLiteral("cmnPrint"));
    return dialog.exec() == QDialog::Accepted;
}

bool PrintDialogs::openFile(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
