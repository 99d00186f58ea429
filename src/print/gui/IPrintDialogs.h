#pragma once

#include "clsPageSetupDlg.h"

#include <QString>

class QPrinter;

// The platform dialogs of printing and the desktop's opening of a file. The program shows them;
// tests answer them without windows.
class IPrintDialogs {
public:
    virtual ~IPrintDialogs() = default;

    // The page-setup dialog on setup; true (setup holds the choice) when confirmed.
    virtual bool pageSetup(PageSetup& setup) = 0;
    // The print dialog (a printer or a PDF file) on printer; true to print.
    virtual bool print(QPrinter& printer) = 0;
    // Opens the file with the desktop's default application; false when nothing can.
    virtual bool openFile(const QString& path) = 0;
};
