#pragma once

#include <QString>
#include <QStringView>
#include <vector>

// Full Unicode case folding (the C and F mappings of CaseFolding.txt, as ICU applies them) and the
// text search built on it, shared by the InStr SQL function and the search and replace code so both
// agree on a match. QString::toCaseFolded() applies only the one-to-one mappings: "ß" would never
// meet "ss".
namespace CaseFold {

// Compare modes: 0 compares exactly, 1 compares the full case foldings.
inline constexpr int Binary = 0;
inline constexpr int Text = 1;

// An occurrence inside a text, in UTF-16 units of that text; position -1 when there is none.
struct Match {
    qsizetype position = -1;
    qsizetype length = 0;
    bool found() const { return position >= 0; }
};

// Every character of text replaced by its full case folding.
QString fold(QStringView text);

// The first occurrence of needle in text at or after from. In Text mode an occurrence covers whole
// characters of text: "ss" finds the "ß" of "straße", a lone "s" does not find half of it. An empty
// needle is found at from.
Match find(QStringView text, QStringView needle, qsizetype from, int compareMode);

// The occurrences of needle in text from the start, each search going on right after the previous
// occurrence ("b" occurs twice in "bb"). None for an empty needle.
std::vector<Match> findAll(QStringView text, QStringView needle, int compareMode);

} // namespace CaseFold
