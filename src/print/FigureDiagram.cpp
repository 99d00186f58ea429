#include "FigureDiagram.h"

#include <algorithm>

namespace modPrint {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

int facingOf(QChar mark) {
    switch (mark.unicode()) {
    case u'^':
        return 1;
    case u'<':
        return 2;
    case u'V':
        return 3;
    case u'>':
        return 4;
    default:
        return 0;
    }
}

void scanLine(const QString& line, int row, FigureDiagram& diagram) {
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c != QLatin1Char('.') && c != QLatin1Char('B') && c != QLatin1Char('G')) {
            continue;
        }
        // Positions count from 1; the cell starts one character before the letter.
        const int position = static_cast<int>(i) + 1;
        FigureDancer dancer;
        dancer.Col = position - 2;
        dancer.Row = row;
        if (c != QLatin1Char('.') && position >= 2) {
            dancer.Number = line.at(i - 1);
            dancer.Facing = i + 1 < line.size() ? facingOf(line.at(i + 1)) : 0;
            dancer.Kind = c == QLatin1Char('B') ? 1 : 2;
        }
        diagram.maxCol = std::max(diagram.maxCol, dancer.Col);
        diagram.maxRow = std::max(diagram.maxRow, dancer.Row);
        diagram.dancers.append(dancer);
    }
}

} // namespace

FigureDiagram parseFigure(const QString& figureText) {
    FigureDiagram diagram;
    QString rest = figureText;
    int row = 0;
    while (!rest.isEmpty()) {
        const qsizetype lineEnd = rest.indexOf(kCrLf);
        const QString line = lineEnd < 0 ? rest : rest.left(lineEnd);
        rest = lineEnd < 0 ? QString() : rest.mid(lineEnd + kCrLf.size());
        scanLine(line, row, diagram);
        ++row;
    }

    diagram.W = diagram.maxCol / 3.0;
    diagram.H = diagram.maxRow;
    diagram.tall = diagram.W < diagram.H;
    diagram.dim = diagram.tall ? diagram.H : diagram.W;
    for (FigureDancer& dancer : diagram.dancers) {
        if (diagram.dim > 0) {
            // The horizontal centre is half the last cell start, not the middle of the occupied cells.
            dancer.X = dancer.Col / 3.0 - diagram.W / 2.0;
            dancer.Y = dancer.Row - diagram.H / 2.0;
        }
    }
    return diagram;
}

int rotationFlag(const QString& noteText) {
    if (noteText.isEmpty()) {
        return 0;
    }
    int rot = 0;
    if (noteText.contains(QStringLiteral("(Actual setup is 45 deg clockwise from above)"), Qt::CaseInsensitive)) {
        rot = 1;
    } else if (noteText.contains(QStringLiteral("(Actual setup is 45 deg ccw from above)"), Qt::CaseInsensitive)) {
        rot = -1;
    }
    if (noteText.contains(QStringLiteral("Actual setup is 45 degrees clockwise from diagram above."),
                          Qt::CaseInsensitive)) {
        rot = 1;
    }
    return rot;
}

QString squaredSetText() {
    const QString lines[] = {
        QStringLiteral("       3GV   3BV     "),  QString(), QStringLiteral(" 4B>               2G<"), QString(),
        QStringLiteral(" 4G>               2B<"), QString(), QStringLiteral("       1B^   1G^     "),
    };
    QString text;
    for (const QString& line : lines) {
        text += line + kCrLf;
    }
    return text;
}

} // namespace modPrint
