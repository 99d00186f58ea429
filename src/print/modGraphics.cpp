#include "modGraphics.h"

#include "ErrorInfo.h"
#include "modSystem.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <cmath>
#include <exception>

namespace modGraphics {

namespace {

constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextIncludeTrailingSpaces;
constexpr qreal kTextMarginPixels = 3.0;

struct FontLevel {
    QFont font;
    QColor color;
};

// Painter units per device pixel.
qreal unitsPerPixelX(const QPainter& painter) {
    const qreal scale = std::abs(painter.combinedTransform().m11());
    return scale > 0 ? 1.0 / scale : 1.0;
}

qreal unitsPerPixelY(const QPainter& painter) {
    const qreal scale = std::abs(painter.combinedTransform().m22());
    return scale > 0 ? 1.0 / scale : 1.0;
}

void setTextColor(QPainter& painter, const QColor& color) {
    QPen pen = painter.pen();
    pen.setColor(color);
    painter.setPen(pen);
}

void selectLevel(QPainter& painter, const FontLevel& level) {
    painter.setFont(level.font);
    setTextColor(painter, level.color);
}

FontLevel applyTag(FontLevel level, MarkupTag tag) {
    switch (tag) {
    case MarkupTag::Bold:
        level.font.setWeight(QFont::Bold);
        break;
    case MarkupTag::Italic:
        level.font.setItalic(true);
        break;
    case MarkupTag::Underline:
        level.font.setUnderline(true);
        break;
    case MarkupTag::Strikeout:
        level.font.setStrikeOut(true);
        break;
    case MarkupTag::Black:
        level.color = QColor(0, 0, 0);
        break;
    case MarkupTag::White:
        level.color = QColor(255, 255, 255);
        break;
    case MarkupTag::Red:
        level.color = QColor(255, 0, 0);
        break;
    case MarkupTag::Yellow:
        level.color = QColor(255, 255, 0);
        break;
    case MarkupTag::Blue:
        level.color = QColor(0, 0, 255);
        break;
    case MarkupTag::Green:
        level.color = QColor(0, 255, 0);
        break;
    case MarkupTag::Magenta:
        level.color = QColor(255, 0, 255);
        break;
    case MarkupTag::Cyan:
        level.color = QColor(0, 255, 255);
        break;
    }
    return level;
}

int drawTextRect(QPainter& painter, const QString& text, QRectF& rect, bool draw) {
    if (draw) {
        const qreal margin = kTextMarginPixels * unitsPerPixelX(painter);
        const QRectF inner(rect.left() + margin, rect.top(), std::max<qreal>(0.0, rect.width() - 2 * margin),
                           rect.height());
        painter.drawText(inner, kTextFlags, text);
    }
    const QRectF bound = painter.boundingRect(rect, kTextFlags, text);
    rect.setRight(bound.right());
    rect.setBottom(bound.bottom());
    return static_cast<int>(text.size());
}

qreal layoutMarkup(QPainter& painter, const QString& text, qreal left, qreal top, qreal right, qreal bottom,
                   const QFont& font, int callRowMargin, bool draw) {
    const QFont entryFont = painter.font();
    try {
        const qreal halfMargin = callRowMargin * unitsPerPixelY(painter) / 2.0;
        const qreal startLeft = left;
        const qreal startTop = top + halfMargin;
        const qreal endRight = right;
        const qreal endBottom = bottom - halfMargin;
        const qreal lineHeight = QFontMetricsF(entryFont, painter.device()).height();

        QList<FontLevel> levels{{baseLevelFont(painter, font), painter.pen().color()}};
        selectLevel(painter, levels.last());

        // The current point; each run is drawn from it to the rectangle's right and bottom edges.
        qreal x = startLeft;
        qreal y = startTop;
        qreal lowest = startTop;
        for (const MarkupToken& token : scanMarkup(text)) {
            switch (token.kind) {
            case MarkupToken::Kind::Text:
            case MarkupToken::Kind::StrayClose: {
                QRectF rect(QPointF(x, y), QPointF(endRight, std::max(y, endBottom)));
                drawTextRect(painter, token.text, rect, draw);
                x = rect.right();
                lowest = std::max(lowest, rect.bottom());
                break;
            }
            case MarkupToken::Kind::Open:
                levels.append(applyTag(levels.last(), token.tag));
                selectLevel(painter, levels.last());
                break;
            case MarkupToken::Kind::Close:
                levels.removeLast();
                selectLevel(painter, levels.last());
                break;
            case MarkupToken::Kind::LineFeed:
                x = startLeft;
                y += lineHeight;
                break;
            }
        }
        painter.setFont(entryFont);
        return lowest - top + halfMargin;
    } catch (const std::exception& e) {
        painter.setFont(entryFont);
        modSystem::WriteErrorLog(QStringLiteral("modGraphics.TextOut"),
                                 ErrorInfo{VornError::Unexpected, QString::fromLocal8Bit(e.what())});
        return 0.0;
    }
}

} // namespace

QFont baseLevelFont(const QPainter& painter, const QFont& font) {
    qreal points = font.pointSizeF();
    const QPaintDevice* device = painter.device();
    const int dpiY = device != nullptr && device->logicalDpiY() > 0 ? device->logicalDpiY() : 96;
    if (points <= 0 && font.pixelSize() > 0) {
        points = font.pixelSize() * 72.0 / dpiY;
    }
    const qreal unitsPerInch = dpiY * unitsPerPixelY(painter);
    const int height = static_cast<int>(std::round(std::nearbyint(points) * unitsPerInch / 72.0));

    QFont level(font.family());
    level.setPixelSize(std::max(1, height));
    level.setWeight(font.bold() ? QFont::Bold : QFont::Normal);
    level.setItalic(font.italic());
    level.setUnderline(font.underline());
    level.setStrikeOut(font.strikeOut());
    return level;
}

qreal TextOut(QPainter& painter, const QString& text, qreal left, qreal top, qreal right, qreal bottom,
              const QFont& font, int callRowMargin) {
    return layoutMarkup(painter, text, left, top, right, bottom, font, callRowMargin, true);
}

qreal MeasureTextOut(QPainter& painter, const QString& text, qreal left, qreal top, qreal right, qreal bottom,
                     const QFont& font, int callRowMargin) {
    return layoutMarkup(painter, text, left, top, right, bottom, font, callRowMargin, false);
}

QString RemoveMarkup(const QString& text) {
    try {
        QString plain;
        for (const MarkupToken& token : scanMarkup(text)) {
            if (token.kind == MarkupToken::Kind::Text) {
                plain += token.text;
            }
        }
        return plain;
    } catch (const std::exception& e) {
        modSystem::WriteErrorLog(QStringLiteral("modGraphics.TextOut"),
                                 ErrorInfo{VornError::Unexpected, QString::fromLocal8Bit(e.what())});
        return {};
    }
}

int DrawTextRect(QPainter& painter, const QString& text, QRectF& rect) {
    try {
        return drawTextRect(painter, text, rect, true);
    } catch (const std::exception& e) {
        modSystem::WriteErrorLog(QStringLiteral("modGraphics.DrawTextRect"),
                                 ErrorInfo{VornError::Unexpected, QString::fromLocal8Bit(e.what())});
        return 0;
    }
}

} // namespace modGraphics
