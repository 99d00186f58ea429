#include "CaseFold.h"

#include <QVarLengthArray>
#include <algorithm>
#include <unicode/uchar.h>
#include <unicode/ustring.h>

namespace {

// The longest full case folding of one character is three UTF-16 units (e.g. U+0390).
constexpr int kMaxFolded = 3;

// The full case folding of one character (one unit, or a surrogate pair) into out: ICU's default
// folding applies the C and F mappings. Characters that no case mapping touches are copied as they
// stand without asking ICU to fold them.
int foldCharacter(QStringView character, char32_t codePoint, char16_t (&out)[kMaxFolded]) {
    if (u_hasBinaryProperty(UChar32(codePoint), UCHAR_CASE_SENSITIVE)) {
        UErrorCode status = U_ZERO_ERROR;
        const int32_t length =
            u_strFoldCase(out, kMaxFolded, character.utf16(), int32_t(character.size()), U_FOLD_CASE_DEFAULT, &status);
        if (U_SUCCESS(status) && length <= kMaxFolded) {
            return length;
        }
    }
    std::copy_n(character.utf16(), character.size(), out);
    return int(character.size());
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
        char16_t folded[kMaxFolded];
        const int length = foldCharacter(text.sliced(i, pair ? 2 : 1), c, folded);
        for (int k = 0; k < length; ++k) {
            emit(i, folded[k], k == 0);
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
