#include "LibraryExport.h"

#include "Database.h"
#include "DbError.h"
#include "IProgress.h"
#include "QueryProgress.h"
#include "Transaction.h"

#include <QFileInfo>
#include <QVariantList>
#include <sqlite3.h>

namespace {

const QString kTarget = QStringLiteral("target");

// The filter's WHERE clause over main.tblSequence, its values bound in order.
struct Where {
    QString clause;
    QVariantList values;
};

Where whereOf(const ExportFilter& filter) {
    Where where;
    const auto add = [&where](const char* part, const QVariant& value) {
        where.clause += where.clause.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ");
        where.clause += QLatin1String(part);
        where.values.append(value);
    };
    // Dates compare as text, which "yyyy/MM/dd" keeps in date order.
    if (!filter.beginDate.isEmpty()) {
        add("[Date] >= ?", filter.beginDate);
    }
    if (!filter.endDate.isEmpty()) {
        add("[Date] <= ?", filter.endDate);
    }
    if (!filter.level.isEmpty()) {
        add("[Level] = ?", filter.level);
    }
    if (filter.state >= 0) {
        add("[Property] = ?", filter.state);
    }
    return where;
}

Statement prepareFiltered(Database& db, const QString& head, const Where& where, const QString& tail = {}) {
    Statement statement = db.prepare(head + where.clause + tail);
    for (qsizetype i = 0; i < where.values.size(); ++i) {
        statement.bind(static_cast<int>(i + 1), where.values[i]);
    }
    return statement;
}

} // namespace

LibraryExport::LibraryExport(Database& source, const QString& targetPath) : m_db(source) {
    // Attaching a missing file would create an empty one.
    if (!QFileInfo(targetPath).isFile()) {
        throw DbError(SQLITE_CANTOPEN, QStringLiteral("The file \"%1\" does not exist.").arg(targetPath));
    }
    m_db.attach(targetPath, kTarget);
    try {
        // Only the rollback journal keeps a commit over two files atomic; a target that another
        // program switched to WAL is switched back.
        Statement mode = m_db.prepare(QStringLiteral("PRAGMA target.journal_mode=DELETE"));
        if (!mode.step() || mode.text(0).compare(QLatin1String("delete"), Qt::CaseInsensitive) != 0) {
            throw DbError(SQLITE_ERROR, QStringLiteral("The target library cannot use a rollback journal."));
        }
    } catch (...) {
        m_db.detach(kTarget);
        throw;
    }
}

LibraryExport::~LibraryExport() {
    try {
        m_db.detach(kTarget);
    } catch (const DbError&) {
        // Closing the connection lets the file go all the same.
    }
}

qint64 LibraryExport::count(const ExportFilter& filter) const {
    Statement count = prepareFiltered(m_db, QStringLiteral("SELECT count(*) FROM main.tblSequence"), whereOf(filter));
    count.step();
    return count.int64(0);
}

qint64 LibraryExport::move(const ExportFilter& filter, IProgress* progress) {
    m_begun = false;
    Transaction transaction(m_db);
    m_begun = true;
    qint64 moved = 0;
    {
        // Not over the commit: once everything is in place, the move is no longer stopped.
        QueryProgress running(m_db, progress);
        try {
            moved = moveRows(filter, progress, running);
        } catch (const DbError& error) {
            if (error.isInterrupt() && running.interrupted()) {
                throw WorkCancelled();
            }
            throw;
        }
    }
    transaction.commit();
    return moved;
}

// Half of the progress goes to the sequences row by row, the other half in equal parts to the five
// statements that carry the calls and history over and delete the originals.
qint64 LibraryExport::moveRows(const ExportFilter& filter, IProgress* progress, QueryProgress& running) {
    // Old key -> new key, ranked in the source's list order.
    m_db.exec(QStringLiteral("DROP TABLE IF EXISTS temp.ExportMap"));
    m_db.exec(QStringLiteral("CREATE TEMP TABLE ExportMap (Rank INTEGER PRIMARY KEY, "
                             "OldSequence INTEGER NOT NULL UNIQUE, NewSequence INTEGER)"));
    prepareFiltered(m_db,
                    QStringLiteral("INSERT INTO temp.ExportMap (Rank, OldSequence) SELECT row_number() OVER "
                                   "(ORDER BY OrderNo, [Date], [Time], Sequence), Sequence FROM main.tblSequence"),
                    whereOf(filter))
        .run();

    QList<qint64> oldKeys;
    {
        Statement ranked = m_db.prepare(QStringLiteral("SELECT OldSequence FROM temp.ExportMap ORDER BY Rank"));
        while (ranked.step()) {
            oldKeys.append(ranked.int64(0));
        }
    }
    const qint64 orderBase =
        m_db.scalar(QStringLiteral("SELECT coalesce(Max(tblSequence.OrderNo), 0) FROM target.tblSequence"))
            .toLongLong();
    const qint64 count = oldKeys.size();
    const qint64 total = 2 * count;

    // Row by row, so that each sequence gets the key the target assigns to it.
    Statement addSequence = m_db.prepare(
        QStringLiteral("INSERT INTO target.tblSequence (Level, Title, Note, [Date], [Time], Property, Version, "
                       "OrderNo, Author) SELECT Level, Title, Note, [Date], [Time], Property, Version, ?, Author "
                       "FROM main.tblSequence WHERE Sequence = ?"));
    Statement mapKey = m_db.prepare(QStringLiteral("UPDATE temp.ExportMap SET NewSequence = ? WHERE Rank = ?"));
    for (qint64 rank = 1; rank <= count; ++rank) {
        if (!progressStep(progress, rank - 1, total)) {
            throw WorkCancelled();
        }
        addSequence.bind(1, orderBase + rank).bind(2, oldKeys[rank - 1]);
        addSequence.run();
        mapKey.bind(1, m_db.lastInsertRowId()).bind(2, rank);
        mapKey.run();
    }

    // The calls and history follow under the new keys, whole tables at a time.
    QStringList bulk{
        QStringLiteral(
            "INSERT INTO target.tblCall (Sequence, [Number], Call, Figure, [Note], HexInfo) "
            "SELECT m.NewSequence, c.[Number], c.Call, c.Figure, c.[Note], c.HexInfo "
            "FROM temp.ExportMap m JOIN main.tblCall c ON c.Sequence = m.OldSequence ORDER BY m.Rank, c.[Number]"),
        QStringLiteral("INSERT INTO target.tblHistory (Sequence, CallDate, PartyName) "
                       "SELECT m.NewSequence, h.CallDate, h.PartyName "
                       "FROM main.tblHistory h JOIN temp.ExportMap m ON m.OldSequence = h.Sequence "
                       "ORDER BY h.History")};
    for (const char* table : {"tblCall", "tblHistory", "tblSequence"}) {
        bulk.append(QStringLiteral("DELETE FROM main.") + QLatin1String(table) +
                    QStringLiteral(" WHERE Sequence IN (SELECT OldSequence FROM temp.ExportMap)"));
    }
    for (qsizetype i = 0; i < bulk.size(); ++i) {
        const qint64 done = count + count * i / bulk.size();
        if (!progressStep(progress, done, total)) {
            throw WorkCancelled();
        }
        running.setPosition(done, total);
        m_db.exec(bulk[i]);
    }
    m_db.exec(QStringLiteral("DROP TABLE temp.ExportMap"));
    if (!progressStep(progress, total, total)) {
        throw WorkCancelled();
    }
    return count;
}
