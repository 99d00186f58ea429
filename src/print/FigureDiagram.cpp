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

void scanLine(QStringView line, int row, FigureDiagram& diagram) {
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
            dancer.Number = QString(line.at(i - 1));
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
    // Lines are cut off the front at CR LF until nothing is left, as views: copying the rest of the
    // text for every line would make a long diagram quadratic.
    const QStringView text(figureText);
    int row = 0;
    for (qsizetype start = 0; start < text.size(); ++row) {
        const qsizetype lineEnd = text.indexOf(kCrLf, start);
        const qsizetype stop = lineEnd < 0 ? text.size() : lineEnd;
        scanLine(text.mid(start, stop - start), row, diagram);
        start = lineEnd < 0 ? text.size() : lineEnd + kCrLf.size();
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
