#pragma once

#include <QString>
#include <array>
#include <optional>

// The texts for the five track labels lblVornMP_Info(0..4); a label without a text keeps what it
// shows.
using TrackInfoLabels = std::array<std::optional<QString>, 5>;

namespace TrackInfoRecord {

// The labels of a track-information record: the text up to its first NUL, split at tabs; field 0
// is ignored, fields 1 to 5 go to labels 0 to 4 (fields 2 and 3 cut to five characters, field 4 to
// three), later fields are ignored. A record with fewer than two fields gives nothing.
std::optional<TrackInfoLabels> parse(const QString& record);

} // namespace TrackInfoRecord
