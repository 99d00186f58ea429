#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace modGraphics {

// The tags call texts may carry; each opens one level over the level around it.
enum class MarkupTag { Bold, Italic, Underline, Strikeout, Black, White, Red, Yellow, Blue, Green, Magenta, Cyan };

// One step of the markup scan. Text runs are drawn as they stand (one run per text call, an
// unknown "{word " and a trailing "{..." without blank included); Open and Close change the
// level stack; StrayClose is a "}" met with only the base level open.
struct MarkupToken {
    enum class Kind { Text, Open, Close, StrayClose, LineFeed };
    Kind kind = Kind::Text;
    QString text;
    MarkupTag tag = MarkupTag::Bold;

    bool operator==(const MarkupToken& other) const = default;
};

// The tag a word names ("{b", "{bold", ...; exact letter case), or none.
std::optional<MarkupTag> markupTag(const QString& word);

// Splits text at "{", "}" and line feeds the way TextOut and RemoveMarkup read it.
QList<MarkupToken> scanMarkup(const QString& text);

} // namespace modGraphics
