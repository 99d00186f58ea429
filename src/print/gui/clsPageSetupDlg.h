#pragma once

#include <functional>

class QPageSetupDialog;
class QWidget;

// The page setup as the program keeps it: margins in millimetres, the paper as a Windows paper
// code and the orientation 1 portrait or 2 landscape.
struct PageSetupValues {
    double MarginLeft = 10;
    double MarginTop = 10;
    double MarginRight = 10;
    double MarginBottom = 10;
    int PaperSize = 9;
    int Orientation = 1;
};

// The platform page-setup dialog, seeded with the given margins, paper and orientation. The
// margins are always exchanged in millimetres.
class clsPageSetupDlg {
public:
    QWidget* owner = nullptr;
    PageSetupValues values;
    // Minimum margins in millimetres.
    double MinMarginLeft = 0;
    double MinMarginTop = 0;
    double MinMarginRight = 0;
    double MinMarginBottom = 0;

    // Shows the dialog; true when the user confirmed it (values then hold the choice), false when
    // cancelled (values unchanged).
    bool Show();

    // Called once the dialog runs, to answer it in place of the user (tests).
    std::function<void(QPageSetupDialog&)> answer;
};
