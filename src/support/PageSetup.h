#pragma once

// The page setup as the program keeps it, shared by the settings, the page output device and the
// page-setup dialog: margins in millimetres, the paper as a Windows paper code (9 A4, 1 Letter,
// ...), the orientation 1 portrait or 2 landscape, and the paper source (kept and saved, not
// applied).
struct PageSetup {
    double MarginLeft = 10;
    double MarginTop = 10;
    double MarginRight = 10;
    double MarginBottom = 10;
    int PaperSize = 9;
    int Orientation = 1;
    int PaperBin = 7;
};
