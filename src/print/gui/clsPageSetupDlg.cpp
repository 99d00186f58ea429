#include "clsPageSetupDlg.h"

#include "ErrorInfo.h"
#include "clsPrinter.h"
#include "modSystem.h"

#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QTimer>
#include <exception>

bool clsPageSetupDlg::Show() {
    try {
        QPrinter printer;
        QPageLayout layout = clsPrinter::pageLayout(values.PaperSize, values.Orientation);
        layout.setMode(QPageLayout::StandardMode);
        layout.setMinimumMargins(QMarginsF(MinMarginLeft, MinMarginTop, MinMarginRight, MinMarginBottom));
        layout.setMargins(QMarginsF(values.MarginLeft, values.MarginTop, values.MarginRight, values.MarginBottom));
        printer.setPageLayout(layout);

        QPageSetupDialog dialog(&printer, owner);
        dialog.setObjectName(QStringLiteral("cmnPageSetup"));
        if (answer) {
            QTimer::singleShot(0, &dialog, [this, &dialog] { answer(dialog); });
        }
        if (dialog.exec() != QDialog::Accepted) {
            return false;
        }
        const QPageLayout chosen = printer.pageLayout();
        const QMarginsF margins = chosen.margins(QPageLayout::Millimeter);
        values.MarginLeft = margins.left();
        values.MarginTop = margins.top();
        values.MarginRight = margins.right();
        values.MarginBottom = margins.bottom();
        if (chosen.pageSize().windowsId() > 0 && QPageSize::id(chosen.pageSize().windowsId()) != QPageSize::Custom) {
            values.PaperSize = chosen.pageSize().windowsId();
        }
        values.Orientation = chosen.orientation() == QPageLayout::Landscape ? 2 : 1;
        return true;
    } catch (const std::exception& e) {
        modSystem::WriteErrorLog(QStringLiteral("clsPageSetupDlg.Show"),
                                 ErrorInfo{VornError::Unexpected, QString::fromLocal8Bit(e.what())});
        return false;
    }
}
