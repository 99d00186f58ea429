#include "BenchLibrary.h"

#include "BenchSupport.h"
#include "Database.h"
#include "DbError.h"
#include "Statement.h"
#include "Transaction.h"
#include "modDataBase.h"

#include <QDir>
#include <QFile>
#include <cstdio>
#include <iterator>
#include <vector>

#ifndef VORN_BENCH_CACHE
#define VORN_BENCH_CACHE "."
#endif

using BenchSupport::fail;

namespace BenchLibrary {

namespace {

// A new name for every change to what generate() writes, so that no build folder keeps timing an
// older library.
const char* const kCacheName = "bench_library_100k_v1.mdb";

const char* const kOtherLevels[] = {"A1", "A2", "C1"};
const char* const kCalls[] = {"HEADS pass the ocean",
                              "SIDES slide thru",
                              "swing thru",
                              "boys run",
                              "ferris wheel",
                              "centers pass thru",
                              "touch 1/4",
                              "scoot back",
                              "recycle",
                              "veer left",
                              "couples circulate",
                              "bend the line",
                              "star thru",
                              "{ hint: watch the ends } cut the diamond",
                              "right and left grand  (at home)",
                              "spin chain the gears",
                              "load the boat",
                              "relay the deucey",
                              "explode and roll",
                              "{b trade} the wave",
                              "[trade] the wave"};
// Formations as the reader stores them: the figure lines without their first column, joined
// with CR LF.
const QString kFigures[] = {
    QStringLiteral("4B>   1B^   1G^   2G<\r\n\r\n4G>   3GV   3BV   2B<"),
    QStringLiteral("3B^   4B^   2G^   3G^\r\n\r\n1GV   4GV   2BV   1BV"),
    QStringLiteral("4B>                    2G<\r\n    3GV  3BV  1B^  1G^\r\n4G>                    2B<"),
    QStringLiteral("        1GV\r\n        3B^\r\n2G> 4B<     2B> 4G<\r\n        1BV\r\n        3G^"),
};

// Writes the library with prepared INSERTs in one transaction. Each sequence has its own date and
// time; about half the calls carry a formation and the last call of each a note; one sequence in
// five has one to three history entries, as imports and calling leave them. The planted word is
// appended to kPlanted calls spread evenly by their place in the library.
void generate(const QString& path) {
    BenchSupport::Lcg random(20261209);
    std::vector<int> callCounts(kSequences);
    qint64 totalCalls = 0;
    for (int& calls : callCounts) {
        calls = random.between(kMinCalls, kMaxCalls);
        totalCalls += calls;
    }
    const qint64 spacing = totalCalls / kPlanted;

    QFile::remove(path);
    modDataBase::CreateLibrary(path);
    Database db(path);
    db.exec(QStringLiteral("PRAGMA synchronous=OFF"));
    Transaction transaction(db);
    Statement addSequence = db.prepare(
        QStringLiteral("INSERT INTO tblSequence (Level, Date, Time, Version, Title, Note, Property, OrderNo, Author) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    Statement addCall = db.prepare(QStringLiteral(
        "INSERT INTO tblCall (Sequence, Number, Call, Figure, Note, HexInfo) VALUES (?, ?, ?, ?, ?, ?)"));
    Statement addHistory =
        db.prepare(QStringLiteral("INSERT INTO tblHistory (Sequence, CallDate, PartyName) VALUES (?, ?, ?)"));
    std::vector<qint64> orderNo(1 + std::size(kOtherLevels), 0);
    qint64 callIndex = 0;
    for (int s = 0; s < kSequences; ++s) {
        // Times run backwards against the insertion order, so the list order by date is not the
        // key order; 37 seconds apart keeps every (Date, Time) unique.
        const int second = (kSequences - s) * 37;
        const QString date = QStringLiteral("20%1/%2/%3")
                                 .arg(10 + second / (86400 * 336), 2, 10, QLatin1Char('0'))
                                 .arg(second / (86400 * 28) % 12 + 1, 2, 10, QLatin1Char('0'))
                                 .arg(second / 86400 % 28 + 1, 2, 10, QLatin1Char('0'));
        const QString time = QStringLiteral("%1:%2:%3")
                                 .arg(second / 3600 % 24, 2, 10, QLatin1Char('0'))
                                 .arg(second / 60 % 60, 2, 10, QLatin1Char('0'))
                                 .arg(second % 60, 2, 10, QLatin1Char('0'));
        const int levelSlot = s % 2 == 0 ? 0 : 1 + (s / 2) % 3;
        const QString level =
            levelSlot == 0 ? QStringLiteral("Plus") : QString::fromLatin1(kOtherLevels[levelSlot - 1]);
        addSequence.reset();
        addSequence.bind(1, level)
            .bind(2, date)
            .bind(3, time)
            .bind(4, QStringLiteral("Sd39.56:db39.56"))
            .bind(5, QStringLiteral("Sequence %1 {b %2}").arg(s).arg(level))
            .bind(6, QStringLiteral("generated sequence %1").arg(s))
            .bind(7, s % 14)
            .bind(8, ++orderNo[std::size_t(levelSlot)])
            .bind(9, QStringLiteral("bench"));
        addSequence.run();
        const qint64 sequence = db.lastInsertRowId();
        const int calls = callCounts[std::size_t(s)];
        for (int number = 1; number <= calls; ++number, ++callIndex) {
            QString call = QString::fromLatin1(kCalls[random.next() % std::size(kCalls)]);
            if (callIndex % spacing == spacing / 2 && callIndex / spacing < kPlanted) {
                call += QStringLiteral(" and ") + kPlantedWord;
            }
            addCall.reset();
            addCall.bind(1, sequence).bind(2, number).bind(3, call);
            addCall.bind(4, random.next() % 2 == 0 ? kFigures[random.next() % std::size(kFigures)] : QString());
            addCall.bind(5, number == calls ? QStringLiteral("Warning:  Take right hands.") : QString());
            addCall.bind(6, QString());
            addCall.run();
        }
        if (random.next() % 5 == 0) {
            const int entries = random.between(1, 3);
            for (int h = 0; h < entries; ++h) {
                addHistory.reset();
                addHistory.bind(1, sequence)
                    .bind(2, QStringLiteral("2025-%1-%2")
                                 .arg(random.between(1, 12), 2, 10, QLatin1Char('0'))
                                 .arg(random.between(1, 28), 2, 10, QLatin1Char('0')))
                    .bind(3, QStringLiteral("Club %1").arg(random.between(1, 9)));
                addHistory.run();
            }
        }
    }
    transaction.commit();
}

} // namespace

QString cachedPath() {
    const QString cached = QDir(QStringLiteral(VORN_BENCH_CACHE)).filePath(QLatin1String(kCacheName));
    if (QFile::exists(cached)) {
        return cached;
    }
    // Built under another name and renamed when complete, so an interrupted run leaves nothing
    // that looks finished.
    const QString building = cached + QStringLiteral(".part");
    try {
        const BenchSupport::Timing timing = BenchSupport::timed([&] { generate(building); });
        QFile::remove(cached);
        if (!QFile::rename(building, cached)) {
            fail(QStringLiteral("cannot keep the generated library as ") + cached);
        }
        std::printf("Generated the library in %.1f s (kept as %s)\n", timing.wall / 1000, qPrintable(cached));
    } catch (const DbError& error) {
        fail(QStringLiteral("generating the library: ") + error.message());
    }
    return cached;
}

void copyTo(const QString& path) {
    const QString cached = cachedPath();
    QFile::remove(path);
    if (!QFile::copy(cached, path)) {
        fail(QStringLiteral("cannot copy the library to ") + path);
    }
}

qint64 count(Database& db, const QString& sql, const QString& value) {
    Statement statement = db.prepare(sql);
    if (!value.isNull()) {
        statement.bind(1, value);
    }
    return statement.step() ? statement.int64(0) : -1;
}

} // namespace BenchLibrary
