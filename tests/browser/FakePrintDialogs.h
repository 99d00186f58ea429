#pragma once

#include "IPrintDialogs.h"

#include <QFileInfo>
#include <QPrinter>

// The page-setup and print dialogs and the file opener, answered as scripted. The print dialog
// chooses the queue when one is named, as a user picking a printer does, and else the PDF file.
class FakePrintDialogs final : public IPrintDialogs {
public:
    bool pageSetup(PageSetup& setup) override {
        seeded = setup;
        setup = chosen;
        return confirm;
    }
    bool print(QPrinter& printer) override {
        ++printDialogs;
        if (queue.isEmpty()) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
        } else {
            printer.setOutputFormat(QPrinter::NativeFormat);
            printer.setPrinterName(queue);
        }
        return confirm;
    }
    bool openFile(const QString& path) override {
        opened = path;
        openedExisted = QFileInfo(path).isFile();
        return canOpen;
    }

    bool confirm = true;
    bool canOpen = true;
    PageSetup seeded;
    PageSetup chosen{15, 16, 17, 18, 1, 2};
    QString pdf;
    QString queue;
    int printDialogs = 0;
    QString opened;
    bool openedExisted = false;
};
