#include "CaseFold.h"

#include <QVarLengthArray>
#include <algorithm>
#include <iterator>

namespace {

// The one-to-many foldings (status F of CaseFolding.txt, Unicode 15); all lie in the BMP. The
// one-to-one foldings come from QChar::toCaseFolded(), which matches statuses C and S.
struct Expansion {
    char16_t from;
    char16_t to[3];
};

constexpr Expansion kExpansions[] = {
    {0x00DF, {0x0073, 0x0073}},         {0x0130, {0x0069, 0x0307}},         {0x0149, {0x02BC, 0x006E}},
    {0x01F0, {0x006A, 0x030C}},         {0x0390, {0x03B9, 0x0308, 0x0301}}, {0x03B0, {0x03C5, 0x0308, 0x0301}},
    {0x0587, {0x0565, 0x0582}},         {0x1E96, {0x0068, 0x0331}},         {0x1E97, {0x0074, 0x0308}},
    {0x1E98, {0x0077, 0x030A}},         {0x1E99, {0x0079, 0x030A}},         {0x1E9A, {0x0061, 0x02BE}},
    {0x1E9E, {0x0073, 0x0073}},         {0x1F50, {0x03C5, 0x0313}},         {0x1F52, {0x03C5, 0x0313, 0x0300}},
    {0x1F54, {0x03C5, 0x0313, 0x0301}}, {0x1F56, {0x03C5, 0x0313, 0x0342}}, {0x1F80, {0x1F00, 0x03B9}},
    {0x1F81, {0x1F01, 0x03B9}},         {0x1F82, {0x1F02, 0x03B9}},         {0x1F83, {0x1F03, 0x03B9}},
    {0x1F84, {0x1F04, 0x03B9}},         {0x1F85, {0x1F05, 0x03B9}},         {0x1F86, {0x1F06, 0x03B9}},
    {0x1F87, {0x1F07, 0x03B9}},         {0x1F88, {0x1F00, 0x03B9}},         {0x1F89, {0x1F01, 0x03B9}},
    {0x1F8A, {0x1F02, 0x03B9}},         {0x1F8B, {0x1F03, 0x03B9}},         {0x1F8C, {0x1F04, 0x03B9}},
    {0x1F8D, {0x1F05, 0x03B9}},         {0x1F8E, {0x1F06, 0x03B9}},         {0x1F8F, {0x1F07, 0x03B9}},
    {0x1F90, {0x1F20, 0x03B9}},         {0x1F91, {0x1F21, 0x03B9}},         {0x1F92, {0x1F22, 0x03B9}},
    {0x1F93, {0x1F23, 0x03B9}},         {0x1F94, {0x1F24, 0x03B9}},         {0x1F95, {0x1F25, 0x03B9}},
    {0x1F96, {0x1F26, 0x03B9}},         {0x1F97, {0x1F27, 0x03B9}},         {0x1F98, {0x1F20, 0x03B9}},
    {0x1F99, {0x1F21, 0x03B9}},         {0x1F9A, {0x1F22, 0x03B9}},         {0x1F9B, {0x1F23, 0x03B9}},
    {0x1F9C, {0x1F24, 0x03B9}},         {0x1F9D, {0x1F25, 0x03B9}},         {0x1F9E, {0x1F26, 0x03B9}},
    {0x1F9F, {0x1F27, 0x03B9}},         {0x1FA0, {0x1F60, 0x03B9}},         {0x1FA1, {0x1F61, 0x03B9}},
    {0x1FA2, {0x1F62, 0x03B9}},         {0x1FA3, {0x1F63, 0x03B9}},         {0x1FA4, {0x1F64, 0x03B9}},
    {0x1FA5, {0x1F65, 0x03B9}},         {0x1FA6, {0x1F66, 0x03B9}},         {0x1FA7, {0x1F67, 0x03B9}},
    {0x1FA8, {0x1F60, 0x03B9}},         {0x1FA9, {0x1F61, 0x03B9}},         {0x1FAA, {0x1F62, 0x03B9}},
    {0x1FAB, {0x1F63, 0x03B9}},         {0x1FAC, {0x1F64, 0x03B9}},         {0x1FAD, {0x1F65, 0x03B9}},
    {0x1FAE, {0x1F66, 0x03B9}},         {0x1FAF, {0x1F67, 0x03B9}},         {0x1FB2, {0x1F70, 0x03B9}},
    {0x1FB3, {0x03B1, 0x03B9}},         {0x1FB4, {0x03AC, 0x03B9}},         {0x1FB6, {0x03B1, 0x0342}},
    {0x1FB7, {0x03B1, 0x0342, 0x03B9}}, {0x1FBC, {0x03B1, 0x03B9}},         {0x1FC2, {0x1F74, 0x03B9}},
    {0x1FC3, {0x03B7, 0x03B9}},         {0x1FC4, {0x03AE, 0x03B9}},         {0x1FC6, {0x03B7, 0x0342}},
    {0x1FC7, {0x03B7, 0x0342, 0x03B9}}, {0x1FCC, {0x03B7, 0x03B9}},         {0x1FD2, {0x03B9, 0x0308, 0x0300}},
    {0x1FD3, {0x03B9, 0x0308, 0x0301}}, {0x1FD6, {0x03B9, 0x0342}},         {0x1FD7, {0x03B9, 0x0308, 0x0342}},
    {0x1FE2, {0x03C5, 0x0308, 0x0300}}, {0x1FE3, {0x03C5, 0x0308, 0x0301}}, {0x1FE4, {0x03C1, 0x0313}},
    {0x1FE6, {0x03C5, 0x0342}},         {0x1FE7, {0x03C5, 0x0308, 0x0342}}, {0x1FF2, {0x1F7C, 0x03B9}},
    {0x1FF3, {0x03C9, 0x03B9}},         {0x1FF4, {0x03CE, 0x03B9}},         {0x1FF6, {0x03C9, 0x0342}},
    {0x1FF7, {0x03C9, 0x0342, 0x03B9}}, {0x1FFC, {0x03C9, 0x03B9}},         {0xFB00, {0x0066, 0x0066}},
    {0xFB01, {0x0066, 0x0069}},         {0xFB02, {0x0066, 0x006C}},         {0xFB03, {0x0066, 0x0066, 0x0069}},
    {0xFB04, {0x0066, 0x0066, 0x006C}}, {0xFB05, {0x0073, 0x0074}},         {0xFB06, {0x0073, 0x0074}},
    {0xFB13, {0x0574, 0x0576}},         {0xFB14, {0x0574, 0x0565}},         {0xFB15, {0x0574, 0x056B}},
    {0xFB16, {0x057E, 0x0576}},         {0xFB17, {0x0574, 0x056D}},
};

static_assert(std::is_sorted(std::begin(kExpansions), std::end(kExpansions),
                             [](const Expansion& a, const Expansion& b) { return a.from < b.from; }));

const Expansion* expansionOf(char32_t c) {
    if (c < kExpansions[0].from || c > std::end(kExpansions)[-1].from) {
        return nullptr;
    }
    const auto* it = std::lower_bound(std::begin(kExpansions), std::end(kExpansions), c,
                                      [](const Expansion& e, char32_t value) { return e.from < value; });
    return it != std::end(kExpansions) && it->from == c ? it : nullptr;
}

bool isAscii(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

char16_t asciiLower(char16_t unit) {
    return unit >= u'A' && unit <= u'Z' ? char16_t(unit + 0x20) : unit;
}

// A folded text that remembers, for each of its units, where in the original text the character
// it came from starts; -1 marks a unit inside an expansion or the low half of a surrogate pair.
// origin has one more entry than folded: the end of the original text.
struct FoldedText {
    QVarLengthArray<char16_t, 256> folded;
    QVarLengthArray<qsizetype, 257> origin;
};

template <typename Sink> void foldInto(QStringView text, Sink&& emit) {
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = text[i].unicode();
        if (unit < 0x80) {
            emit(i, asciiLower(unit), true);
            continue;
        }
        char32_t c = unit;
        const bool pair = QChar::isHighSurrogate(unit) && i + 1 < size && text[i + 1].isLowSurrogate();
        if (pair) {
            c = QChar::surrogateToUcs4(unit, text[i + 1].unicode());
        }
        if (const Expansion* e = expansionOf(c)) {
            for (int k = 0; k < 3 && e->to[k] != 0; ++k) {
                emit(i, e->to[k], k == 0);
            }
        } else {
            const char32_t folded = QChar::toCaseFolded(c);
            if (QChar::requiresSurrogates(folded)) {
                emit(i, QChar::highSurrogate(folded), true);
                emit(i, QChar::lowSurrogate(folded), false);
            } else {
                emit(i, char16_t(folded), true);
            }
        }
        if (pair) {
            ++i;
        }
    }
}

void foldWithOrigin(QStringView text, FoldedText& out) {
    foldInto(text, [&out](qsizetype at, char16_t unit, bool starts) {
        out.folded.append(unit);
        out.origin.append(starts ? at : -1);
    });
    out.origin.append(text.size());
}

QVarLengthArray<char16_t, 64> foldPlain(QStringView text) {
    QVarLengthArray<char16_t, 64> out;
    foldInto(text, [&out](qsizetype, char16_t unit, bool) { out.append(unit); });
    return out;
}

template <typename Found> void scanAscii(QStringView text, QStringView needle, qsizetype from, Found& found) {
    QVarLengthArray<char16_t, 64> key(needle.size());
    std::transform(needle.begin(), needle.end(), key.begin(), [](QChar c) { return asciiLower(c.unicode()); });
    QVarLengthArray<char16_t, 256> hay(text.size());
    std::transform(text.begin(), text.end(), hay.begin(), [](QChar c) { return asciiLower(c.unicode()); });
    const QStringView keyView(key.constData(), key.size());
    const QStringView hayView(hay.constData(), hay.size());
    qsizetype at = from;
    while ((at = hayView.indexOf(keyView, at)) >= 0 && found(at, key.size())) {
        at += key.size();
    }
}

// Calls found(position, length) for each occurrence in original units, scanning from from and on
// after each occurrence; found returns false to stop.
template <typename Found>
void scan(QStringView text, QStringView needle, qsizetype from, int compareMode, Found&& found) {
    if (compareMode != CaseFold::Text) {
        while (from <= text.size()) {
            const qsizetype at = text.indexOf(needle, from);
            if (at < 0 || !found(at, needle.size())) {
                return;
            }
            from = at + needle.size();
        }
        return;
    }
    if (isAscii(needle) && isAscii(text.mid(from))) {
        // Plain ASCII on both sides folds one unit to one unit: no positions to map back.
        scanAscii(text, needle, from, found);
        return;
    }
    const QVarLengthArray<char16_t, 64> foldedNeedle = foldPlain(needle);
    const QStringView key(foldedNeedle.constData(), foldedNeedle.size());
    FoldedText tail;
    foldWithOrigin(text.mid(from), tail);
    const QStringView hay(tail.folded.constData(), tail.folded.size());
    qsizetype at = 0;
    while ((at = hay.indexOf(key, at)) >= 0) {
        const qsizetype begin = tail.origin[at];
        const qsizetype end = tail.origin[at + key.size()];
        if (begin < 0 || end < 0) {
            ++at; // the occurrence splits a character of the original text
            continue;
        }
        if (!found(from + begin, end - begin)) {
            return;
        }
        at += key.size();
    }
}

} // namespace

namespace CaseFold {

QString fold(QStringView text) {
    const QVarLengthArray<char16_t, 64> folded = foldPlain(text);
    return QString(reinterpret_cast<const QChar*>(folded.constData()), folded.size());
}

Match find(QStringView text, QStringView needle, qsizetype from, int compareMode) {
    if (from < 0 || from > text.size()) {
        return {};
    }
    if (needle.isEmpty()) {
        return {from, 0};
    }
    Match match;
    scan(text, needle, from, compareMode, [&match](qsizetype position, qsizetype length) {
        match = {position, length};
        return false;
    });
    return match;
}

std::vector<Match> findAll(QStringView text, QStringView needle, int compareMode) {
    std::vector<Match> matches;
    if (needle.isEmpty()) {
        return matches;
    }
    scan(text, needle, 0, compareMode, [&matches](qsizetype position, qsizetype length) {
        matches.push_back({position, length});
        return true;
    });
    return matches;
}

} // namespace CaseFold
