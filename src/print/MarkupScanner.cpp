#include "MarkupScanner.h"

#include <algorithm>
#include <array>
#include <utility>

namespace modGraphics {

namespace {

struct TagWord {
    const char16_t* word;
    MarkupTag tag;
};

constexpr std::array<TagWord, 24> kTagWords{{
    {u"{bold", MarkupTag::Bold},
    {u"{b", MarkupTag::Bold},
    {u"{italic", MarkupTag::Italic},
    {u"{i", MarkupTag::Italic},
    {u"{underline", MarkupTag::Underline},
    {u"{u", MarkupTag::Underline},
    {u"{strikeout", MarkupTag::Strikeout},
    {u"{s", MarkupTag::Strikeout},
    {u"{black", MarkupTag::Black},
    {u"{bk", MarkupTag::Black},
    {u"{white", MarkupTag::White},
    {u"{wh", MarkupTag::White},
    {u"{red", MarkupTag::Red},
    {u"{rd", MarkupTag::Red},
    {u"{yellow", MarkupTag::Yellow},
    {u"{yl", MarkupTag::Yellow},
    {u"{blue", MarkupTag::Blue},
    {u"{bl", MarkupTag::Blue},
    {u"{green", MarkupTag::Green},
    {u"{gr", MarkupTag::Green},
    {u"{magenta", MarkupTag::Magenta},
    {u"{mg", MarkupTag::Magenta},
    {u"{cyan", MarkupTag::Cyan},
    {u"{cy", MarkupTag::Cyan},
}};

MarkupToken textToken(QString text) {
    MarkupToken token;
    token.kind = MarkupToken::Kind::Text;
    token.text = std::move(text);
    return token;
}

} // namespace

std::optional<MarkupTag> markupTag(const QString& word) {
    for (const TagWord& entry : kTagWords) {
        if (word == QStringView(entry.word)) {
            return entry.tag;
        }
    }
    return std::nullopt;
}

QList<MarkupToken> scanMarkup(const QString& text) {
    QList<MarkupToken> tokens;
    int depth = 0;
    qsizetype p = 0;
    const qsizetype end = text.size();
    // The next of each marker, searched again only once the scan has passed it: searching all three
    // from every marker would make a long text of one marker quadratic.
    std::array<qsizetype, 3> next{-1, -1, -1};
    const std::array<QChar, 3> markers{QLatin1Char('{'), QLatin1Char('}'), QLatin1Char('\n')};
    while (p < end) {
        for (size_t m = 0; m < next.size(); ++m) {
            if (next[m] != end && next[m] < p) {
                next[m] = text.indexOf(markers[m], p);
                if (next[m] < 0) {
                    next[m] = end;
                }
            }
        }
        const qsizetype marker = std::min({next[0], next[1], next[2]});
        if (marker > p) {
            tokens.append(textToken(text.mid(p, marker - p)));
        }
        if (marker >= end) {
            break;
        }
        const QChar c = text.at(marker);
        if (c == QLatin1Char('{')) {
            const qsizetype blank = text.indexOf(QLatin1Char(' '), marker);
            if (blank < 0) {
                // No blank after the "{": the rest is no tag and ends the scan.
                tokens.append(textToken(text.mid(marker)));
                break;
            }
            const QString word = text.mid(marker, blank - marker);
            if (const std::optional<MarkupTag> tag = markupTag(word)) {
                MarkupToken token;
                token.kind = MarkupToken::Kind::Open;
                token.text = word;
                token.tag = *tag;
                tokens.append(token);
                ++depth;
            } else {
                tokens.append(textToken(text.mid(marker, blank - marker + 1)));
            }
            p = blank + 1;
        } else if (c == QLatin1Char('}')) {
            MarkupToken token;
            token.text = QStringLiteral("}");
            if (depth > 0) {
                token.kind = MarkupToken::Kind::Close;
                --depth;
            } else {
                token.kind = MarkupToken::Kind::StrayClose;
            }
            tokens.append(token);
            p = marker + 1;
        } else {
            MarkupToken token;
            token.kind = MarkupToken::Kind::LineFeed;
            token.text = QStringLiteral("\n");
            tokens.append(token);
            p = marker + 1;
        }
    }
    return tokens;
}

} // namespace modGraphics
