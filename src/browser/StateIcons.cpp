#include "StateIcons.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPixmap>
#include <array>
#include <cmath>
#include <numbers>

namespace StateIcons {

namespace {

// Each icon is drawn on a 16 x 16 unit grid scaled to the pixmap size; at 16 px one unit is one pixel, so the
// straight edges that matter sit on pixel boundaries there.
constexpr qreal Grid = 16.0;

// 16 to 48 cover the list at normal resolution; 64 and 96 keep the icons sharp at a device pixel ratio of 2.
constexpr std::array<int, 8> PixmapSizes = {16, 20, 24, 32, 40, 48, 64, 96};

enum State {
    NotCalled,
    Checked,
    Called,
    CallOk,
    Smile,
    Pencil,
    Unknown,
    Caution,
    CallNg,
    SingingCall,
    Rotate,
    Opening,
    Finish,
    Asymmetric
};

QPen strokePen(const QColor& color, qreal width) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPainterPath checkPath() {
    QPainterPath path;
    path.moveTo(3.0, 8.5);
    path.lineTo(6.5, 12.0);
    path.lineTo(13.0, 4.5);
    return path;
}

QPainterPath disc(QPointF center, qreal radius) {
    QPainterPath path;
    path.addEllipse(center, radius, radius);
    return path;
}

// The stroked outline of a path, so it can be cut out of a filled shape.
QPainterPath outline(const QPainterPath& path, qreal width) {
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(path);
}

void paintNotCalled(QPainter& p) {
    p.setPen(strokePen(QColor(0x8a, 0x8f, 0x98), 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(8, 8), 5.5, 5.5);
}

void paintChecked(QPainter& p) {
    p.setPen(strokePen(QColor(0x21, 0x96, 0xf3), 2.6));
    p.drawPath(checkPath());
}

void paintCalled(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x5c, 0x6b, 0xc0));
    p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
}

// A green disc with the check mark cut out of it, so the mark shows the background on any theme.
void paintCallOk(QPainter& p) {
    QPainterPath check;
    check.moveTo(4.6, 8.3);
    check.lineTo(7.0, 10.7);
    check.lineTo(11.4, 5.6);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x34, 0xa8, 0x53));
    p.drawPath(disc(QPointF(8, 8), 7.0).subtracted(outline(check, 2.3)));
}

void paintSmile(QPainter& p) {
    const QColor face(0xf4, 0xb4, 0x00);
    const QColor features(0x4a, 0x36, 0x00);
    p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawEllipse(QPointF(8, 8), 7.0, 7.0);
    p.setBrush(features);
    p.drawEllipse(QPointF(5.6, 6.0), 1.2, 1.4);
    p.drawEllipse(QPointF(10.4, 6.0), 1.2, 1.4);
    QPainterPath mouth;
    mouth.moveTo(4.4, 9.2);
    mouth.cubicTo(5.8, 12.6, 10.2, 12.6, 11.6, 9.2);
    p.setPen(strokePen(features, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(mouth);
}

// A pencil lying on the diagonal, point at the lower left.
void paintPencil(QPainter& p) {
    p.save();
    p.translate(8, 8);
    p.rotate(-45);
    // Local frame: the pencil runs along x from the point at -7.6 to the eraser at +7.4, 4.6 units wide.
    constexpr qreal half = 2.3;
    const QColor body(0xf5, 0x7c, 0x00);
    const QColor wood(0xf6, 0xd3, 0xa1);
    const QColor lead(0x33, 0x33, 0x33);
    const QColor eraser(0xe5, 0x73, 0x73);
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawRect(QRectF(-3.4, -half, 8.4, 2 * half));
    p.setBrush(eraser);
    p.drawRoundedRect(QRectF(5.4, -half, 2.2, 2 * half), 0.8, 0.8);
    QPainterPath point;
    point.moveTo(-3.4, -half);
    point.lineTo(-7.8, 0);
    point.lineTo(-3.4, half);
    point.closeSubpath();
    p.setBrush(wood);
    p.drawPath(point);
    QPainterPath tip;
    tip.moveTo(-6.0, -0.95);
    tip.lineTo(-7.8, 0);
    tip.lineTo(-6.0, 0.95);
    tip.closeSubpath();
    p.setBrush(lead);
    p.drawPath(tip);
    p.restore();
}

void paintUnknown(QPainter& p) {
    const QColor color(0xa2, 0x59, 0xc4);
    QPainterPath hook;
    hook.moveTo(4.6, 5.4);
    hook.cubicTo(4.6, 1.4, 11.4, 1.4, 11.4, 5.2);
    hook.cubicTo(11.4, 7.6, 8.0, 7.8, 8.0, 10.0);
    p.setPen(strokePen(color, 2.4));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QPointF(8.0, 13.6), 1.5, 1.5);
}

void paintCaution(QPainter& p) {
    const QColor color(0xf9, 0xa8, 0x25);
    const QColor mark(0x2b, 0x21, 0x00);
    QPainterPath triangle;
    triangle.moveTo(8.0, 1.8);
    triangle.lineTo(14.6, 13.8);
    triangle.lineTo(1.4, 13.8);
    triangle.closeSubpath();
    p.setPen(strokePen(color, 1.6));
    p.setBrush(color);
    p.drawPath(triangle);
    p.setPen(strokePen(mark, 2.0));
    p.drawLine(QPointF(8.0, 6.2), QPointF(8.0, 9.2));
    p.setPen(Qt::NoPen);
    p.setBrush(mark);
    p.drawEllipse(QPointF(8.0, 12.0), 1.1, 1.1);
}

void paintCallNg(QPainter& p) {
    p.setPen(strokePen(QColor(0xf4, 0x43, 0x36), 2.8));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
}

// Two beamed eighth notes.
void paintSingingCall(QPainter& p) {
    const QColor color(0xec, 0x40, 0x7a);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    for (const QPointF head : {QPointF(4.6, 12.4), QPointF(11.6, 11.0)}) {
        p.save();
        p.translate(head);
        p.rotate(-20);
        p.drawEllipse(QPointF(0, 0), 2.4, 1.8);
        p.restore();
    }
    p.drawRect(QRectF(6.0, 3.6, 1.4, 8.6));
    p.drawRect(QRectF(13.0, 2.2, 1.4, 8.6));
    QPainterPath beam;
    beam.moveTo(6.0, 3.4);
    beam.lineTo(14.4, 1.4);
    beam.lineTo(14.4, 4.2);
    beam.lineTo(6.0, 6.2);
    beam.closeSubpath();
    p.drawPath(beam);
}

// A circular arrow turning clockwise, its head at the top.
void paintRotate(QPainter& p) {
    const QColor color(0x26, 0xa6, 0x9a);
    const QPointF center(8.0, 8.5);
    constexpr qreal radius = 5.2;
    constexpr qreal startAngle = 60.0; // degrees, counter-clockwise from three o'clock
    constexpr qreal sweep = 280.0;
    QPainterPath arc;
    const QRectF box(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius);
    arc.arcMoveTo(box, startAngle);
    arc.arcTo(box, startAngle, sweep);
    p.setPen(strokePen(color, 2.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);

    // The head sits on the start of the arc and points along the clockwise tangent.
    const qreal a = startAngle * std::numbers::pi / 180.0;
    const QPointF tip = arc.pointAtPercent(0.0);
    const QPointF dir(std::sin(a), std::cos(a)); // clockwise tangent on a y-down canvas
    const QPointF normal(-dir.y(), dir.x());
    QPainterPath head;
    head.moveTo(tip + dir * 3.2);
    head.lineTo(tip - dir * 0.6 + normal * 3.0);
    head.lineTo(tip - dir * 0.6 - normal * 3.0);
    head.closeSubpath();
    p.setPen(strokePen(color, 0.8));
    p.setBrush(color);
    p.drawPath(head);
}

// A "play" triangle: the sequence that starts a tip.
void paintOpening(QPainter& p) {
    const QColor color(0x7c, 0xb3, 0x42);
    QPainterPath play;
    play.moveTo(4.0, 2.4);
    play.lineTo(13.8, 8.0);
    play.lineTo(4.0, 13.6);
    play.closeSubpath();
    p.setPen(strokePen(color, 1.6));
    p.setBrush(color);
    p.drawPath(play);
}

// A chequered flag: the sequence that ends a tip. The grey frame keeps the dark squares apart from a dark
// background.
void paintFinish(QPainter& p) {
    const QColor frame(0x80, 0x80, 0x80);
    const QColor dark(0x21, 0x21, 0x21);
    const QColor light(0xff, 0xff, 0xff);
    p.setPen(Qt::NoPen);
    p.setBrush(frame);
    p.drawRoundedRect(QRectF(2.0, 1.0, 2.0, 14.0), 0.6, 0.6);
    const QRectF flag(4.0, 1.0, 11.0, 8.0);
    p.drawRect(flag);
    // Three by two squares inside a one-unit frame.
    constexpr qreal cell = 3.0;
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 3; ++col) {
            p.setBrush((row + col) % 2 == 0 ? light : dark);
            p.drawRect(QRectF(flag.left() + 1.0 + col * cell, flag.top() + 1.0 + row * cell, cell, cell));
        }
    }
}

// A diamond with its left half filled: the sequence is not symmetric.
void paintAsymmetric(QPainter& p) {
    const QColor color(0x8d, 0x6e, 0x63);
    QPainterPath diamond;
    diamond.moveTo(8.0, 1.5);
    diamond.lineTo(14.5, 8.0);
    diamond.lineTo(8.0, 14.5);
    diamond.lineTo(1.5, 8.0);
    diamond.closeSubpath();
    QPainterPath left;
    left.moveTo(8.0, 1.5);
    left.lineTo(8.0, 14.5);
    left.lineTo(1.5, 8.0);
    left.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(left);
    p.setPen(strokePen(color, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(diamond);
}

void paintState(QPainter& p, int property) {
    switch (property) {
    case NotCalled:
        paintNotCalled(p);
        break;
    case Checked:
        paintChecked(p);
        break;
    case Called:
        paintCalled(p);
        break;
    case CallOk:
        paintCallOk(p);
        break;
    case Smile:
        paintSmile(p);
        break;
    case Pencil:
        paintPencil(p);
        break;
    case Unknown:
        paintUnknown(p);
        break;
    case Caution:
        paintCaution(p);
        break;
    case CallNg:
        paintCallNg(p);
        break;
    case SingingCall:
        paintSingingCall(p);
        break;
    case Rotate:
        paintRotate(p);
        break;
    case Opening:
        paintOpening(p);
        break;
    case Finish:
        paintFinish(p);
        break;
    case Asymmetric:
        paintAsymmetric(p);
        break;
    default:
        break;
    }
}

QIcon buildIcon(int property) {
    QIcon result;
    for (const int size : PixmapSizes) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / Grid, size / Grid);
        paintState(painter, property);
        painter.end();
        // The same picture on a selected row: the style would otherwise tint it with the
        // selection colour, and dark state shapes would vanish into the highlight.
        result.addPixmap(QPixmap::fromImage(image), QIcon::Normal);
        result.addPixmap(QPixmap::fromImage(image), QIcon::Selected);
    }
    return result;
}

struct Cache {
    std::array<QIcon, StateCount> icons;
    bool built = false;
};

Cache& cache() {
    static Cache instance;
    return instance;
}

// Pixmaps belong to the GUI application; drop them when it goes, and build again if a new one comes.
void releaseCache() {
    cache() = Cache{};
}

} // namespace

QIcon icon(int property) {
    if (property < 0 || property >= StateCount) {
        return {};
    }
    Cache& c = cache();
    if (!c.built) {
        for (int i = 0; i < StateCount; ++i) {
            c.icons[i] = buildIcon(i);
        }
        c.built = true;
        qAddPostRoutine(releaseCache);
    }
    return c.icons[property];
}

QIcon image(int imageNumber) {
    return icon(imageNumber - FirstStateImage);
}

} // namespace StateIcons
