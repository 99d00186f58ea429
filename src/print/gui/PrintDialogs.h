#pragma once

#include "IPrintDialogs.h"

#include <memory>

class QWidget;

// The dialogs as real windows owned by the main window.
class PrintDialogs final : public IPrintDialogs {
public:
    explicit PrintDialogs(QWidget* owner);
    ~PrintDialogs() override;

    bool pageSetup(PageSetup& setup) override;
    bool print(QPrinter& printer) override;
    bool openFile(const QString& path) override;

private:
    QWidget* m_owner;
    // Created on first use and kept.
    std::unique_ptr<clsPageSetupDlg> m_pageSetup;
};
