#pragma once

#include <QList>
#include <QString>

namespace modPrint {

// One B, G or "." of a formation diagram, in scan order.
struct FigureDancer {
    int Col = 0;    // 0-based start of the three-character cell (position of the letter minus 2)
    int Row = 0;    // 0-based line index, empty lines counted
    double X = 0.0; // cells from the horizontal centre
    double Y = 0.0; // lines from the vertical centre
    QString Number; // the character before the letter; empty for a "."
    int Facing = 0; // 1 "^", 2 "<", 3 "V", 4 ">", 0 anything else
    int Kind = 0;   // 0 empty spot, 1 boy, 2 girl
};

// A parsed diagram with its extent: W cells wide, H lines high; tall when W < H; dim the larger.
struct FigureDiagram {
    QList<FigureDancer> dancers;
    int maxCol = 0;
    int maxRow = 0;
    double W = 0.0;
    double H = 0.0;
    bool tall = false;
    double dim = 0.0;
};

// Reads the dancers of a diagram (lines split at CR LF only) and centres them.
FigureDiagram parseFigure(const QString& figureText);

// 1 when a call's note says the set is turned 45 degrees clockwise, -1 for counter-clockwise,
// 0 otherwise.
int rotationFlag(const QString& noteText);

// The squared set: couple 3 at the top facing down, 4 at the left facing right, 2 at the right
// facing left, 1 at the bottom facing up; seven lines each ended by CR LF.
QString squaredSetText();

} // namespace modPrint
