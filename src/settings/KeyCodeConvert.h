#pragma once

#include <QString>
#include <array>

namespace modGeneral {

// Fills codes with the Windows virtual-key codes of a key text and returns how many it filled.
// The text is words separated by spaces: a single character gives its ANSI code, "{Space}" 32,
// "{F<n>}" 111 + n, any other braced word nothing. Empty words are skipped and only the first ten
// words count. Entries from the returned count upward keep their previous values.
qint16 KeyCodeConvert(const QString& keyText, std::array<qint16, 10>& codes);

} // namespace modGeneral
