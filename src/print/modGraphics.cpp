#include "modGraphics.h"

#include "ErrorInfo.h"
#include "modSystem.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <cmath>
#include <exception>
#include <optional>

namespace modGraphics {

namespace {

constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextIncludeTrailingSpaces;
constexpr qreal kTextMarginPixels = 3.0;

struct FontLevel {
    QFont font;
    QColor color;
};

// Painter units per pixel of the device, as its logical DPI counts them. On a high-density screen
// the painter's transform also holds the device's pixel ratio (1.5 for a scale of 150 %); that
// part is no change of units, so text drawn here grows with the screen like every other text.
qreal devicePixelRatio(const QPainter& painter) {
    const QPaintDevice* device = painter.device();
    return device != nullptr && device->devicePixelRatioF() > 0 ? device->devicePixelRatioF() : 1.0;
}

qreal unitsPerPixelX(const QPainter& painter) {
    const qreal scale = std::abs(painter.combinedTransform().m11()) / devicePixelRatio(painter);
    return scale > 0 ? 1.0 / scale : 1.0;
}

qreal unitsPerPixelY(const QPainter& painter) {
    const qreal scale = std::abs(painter.combinedTransform().m22()) / devicePixelRatio(painter);
    return scale > 0 ? 1.0 / scale : 1.0;
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

// Marked-up text as one text layout: the plain text of its runs, each run with the font and colour
// of its level, line feeds as line breaks. One layout wraps the runs together, so a run goes on
// where the run before it ended, and every character gets a place in any width.
class MarkupLayout {
public:
    MarkupLayout(const QString& text, const QFont& baseFont, const QColor& baseColor, QPaintDevice* device) {
        QString plain;
        QList<QTextLayout::FormatRange> formats;
        QList<FontLevel> levels{{baseFont, baseColor}};
        const auto addRun = [&](const QString& run) {
            QTextCharFormat format;
            format.setFont(levels.last().font);
            format.setForeground(levels.last().color);
            formats.append({static_cast<int>(plain.size()), static_cast<int>(run.size()), format});
            plain += run;
        };
        for (const MarkupToken& token : scanMarkup(text)) {
            switch (token.kind) {
            case MarkupToken::Kind::Text:
            case MarkupToken::Kind::StrayClose:
                addRun(token.text);
                break;
            case MarkupToken::Kind::Open:
                levels.append(applyTag(levels.last(), token.tag));
                break;
            case MarkupToken::Kind::Close:
                levels.removeLast();
                break;
            case MarkupToken::Kind::LineFeed:
                addRun(QString(QChar::LineSeparator));
                break;
            }
        }
        m_layout.emplace(plain, baseFont, device);
        m_layout->setFormats(formats);
        QTextOption option(Qt::AlignLeft | Qt::AlignTop);
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        m_layout->setTextOption(option);
    }

    // Lays the lines out in width; the height they take.
    qreal layout(qreal width) {
        qreal height = 0;
        m_layout->beginLayout();
        for (QTextLine line = m_layout->createLine(); line.isValid(); line = m_layout->createLine()) {
            line.setLineWidth(std::max<qreal>(0.0, width));
            line.setPosition(QPointF(0, height));
            height += line.height();
        }
        m_layout->endLayout();
        return height;
    }

    void draw(QPainter& painter, const QPointF& topLeft) const { m_layout->draw(&painter, topLeft); }

private:
    std::optional<QTextLayout> m_layout;
};

qreal layoutMarkup(QPainter& painter, const QString& text, qreal left, qreal top, qreal right, qreal bottom,
                   const QFont& font, int callRowMargin, bool draw) {
    const QFont entryFont = painter.font();
    try {
        Q_UNUSED(bottom);
        const qreal halfMargin = callRowMargin * unitsPerPixelY(painter) / 2.0;
        const qreal margin = kTextMarginPixels * unitsPerPixelX(painter);
        MarkupLayout layout(text, baseLevelFont(painter, font), painter.pen().color(), painter.device());
        const qreal height = layout.layout(right - left - 2 * margin);
        if (draw) {
            layout.draw(painter, QPointF(left + margin, top + halfMargin));
        }
        painter.setFont(entryFont);
        return height + 2 * halfMargin;
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

qreal MarkupHeight(const QString& text, const QFont& font, qreal width, QPaintDevice* device, int callRowMargin) {
    try {
        // On a screen device painter units are pixels: the base font is the font at its rounded
        // point size.
        QFont base(font.family());
        const int dpiY = device && device->logicalDpiY() > 0 ? device->logicalDpiY() : 96;
        const qreal points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / dpiY;
        base.setPixelSize(std::max(1, static_cast<int>(std::round(std::nearbyint(points) * dpiY / 72.0))));
        base.setWeight(font.bold() ? QFont::Bold : QFont::Normal);
        base.setItalic(font.italic());
        MarkupLayout layout(text, base, Qt::black, device);
        return layout.layout(width - 2 * kTextMarginPixels) + callRowMargin;
    } catch (const std::exception& e) {
        modSystem::WriteErrorLog(QStringLiteral("modGraphics.TextOut"),
                                 ErrorInfo{VornError::Unexpected, QString::fromLocal8Bit(e.what())});
        return 0.0;
    }
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
