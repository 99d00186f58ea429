#include "LibraryHistory.h"

#include "Database.h"

namespace {

QString shownDate(QString stored) {
    return stored.left(10).replace(QLatin1Char('-'), QLatin1Char('/'));
}

} // namespace

QStringList LibraryHistory::parties() const {
    Statement distinct = m_db.prepare(QStringLiteral("SELECT DISTINCT PartyName FROM tblHistory ORDER BY PartyName"));
    QStringList result;
    while (distinct.step()) {
        result.append(distinct.text(0));
    }
    return result;
}

bool LibraryHistory::hasParty(const QString& party) const {
    Statement find = m_db.prepare(QStringLiteral("SELECT 1 FROM tblHistory WHERE PartyName = ? LIMIT 1"));
    find.bind(1, party);
    return find.step();
}

QList<HistoryLine> LibraryHistory::entries(const std::optional<QString>& party, const QString& from,
                                           const QString& to) const {
    QString sql = QStringLiteral("SELECT h.CallDate, h.PartyName, h.Sequence, s.Level, s.Title FROM tblHistory h "
                                 "LEFT JOIN tblSequence s ON s.Sequence = h.Sequence WHERE 1 ");
    if (party) {
        sql += QStringLiteral("AND h.PartyName = ? ");
    }
    if (!from.isEmpty()) {
        sql += QStringLiteral("AND h.CallDate >= ? ");
    }
    if (!to.isEmpty()) {
        // A stored date may carry a time of day after the day itself.
        sql += QStringLiteral("AND substr(h.CallDate, 1, 10) <= ? ");
    }
    sql += QStringLiteral("ORDER BY h.CallDate, h.PartyName, h.History");
    Statement query = m_db.prepare(sql);
    int parameter = 1;
    if (party) {
        query.bind(parameter++, *party);
    }
    if (!from.isEmpty()) {
        query.bind(parameter++, from);
    }
    if (!to.isEmpty()) {
        query.bind(parameter, to);
    }
    QList<HistoryLine> result;
    while (query.step()) {
        result.append({shownDate(query.text(0)), query.text(1), query.int64(2), query.text(3), query.text(4)});
    }
    return result;
}

QList<HeardSequence> LibraryHistory::heardSequences() const {
    // Grouped in the order of the party index, which holds all the grouping needs: nothing sorted.
    Statement query = m_db.prepare(
        QStringLiteral("SELECT h.PartyName, h.Sequence, s.Level, s.Date, s.Time, s.Title, count(*), max(h.CallDate) "
                       "FROM tblHistory h JOIN tblSequence s ON s.Sequence = h.Sequence "
                       "GROUP BY h.PartyName, h.Sequence"));
    QList<HeardSequence> result;
    while (query.step()) {
        result.append({query.text(0), query.int64(1), query.text(2), query.text(3), query.text(4), query.text(5),
                       query.integer(6), shownDate(query.text(7))});
    }
    return result;
}
