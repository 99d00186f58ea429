#include "TrackInfoRecord.h"

#include <QStringList>

namespace TrackInfoRecord {

std::optional<TrackInfoLabels> parse(const QString& record) {
    const qsizetype nul = record.indexOf(QChar(u'\0'));
    const QStringList fields = (nul < 0 ? record : record.left(nul)).split(QLatin1Char('\t'));
    if (fields.size() < 2) {
        return std::nullopt;
    }
    // How many characters of each field its label shows (-1: all).
    constexpr int kCut[5] = {-1, 5, 5, 3, -1};
    TrackInfoLabels labels;
    for (int i = 0; i < 5 && i + 1 < fields.size(); ++i) {
        labels[i] = kCut[i] < 0 ? fields[i + 1] : fields[i + 1].left(kCut[i]);
    }
    return labels;
}

} // namespace TrackInfoRecord
