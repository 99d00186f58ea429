#pragma once

#include <QString>
#include <QtGlobal>

class Database;

// The library the browsing, search and cut timings work on: 100,000 sequences with about 2.5
// million calls. It is generated once into the build folder; a run that changes data works on
// its own copy.
namespace BenchLibrary {

constexpr int kSequences = 100000;
// Every other sequence is Plus; the rest go round A1, A2 and C1.
constexpr int kPlusSequences = kSequences / 2;
constexpr int kMinCalls = 20;
constexpr int kMaxCalls = 30;
// A word that is in exactly this many calls, spread evenly over the whole library, and in no
// other call.
constexpr int kPlanted = 10000;
inline const QString kPlantedWord = QStringLiteral("Zigzagoon");

// The generated library, built first (and the time it took printed) when the build folder does
// not hold it yet.
QString cachedPath();

// A fresh copy of the generated library at path, replacing what is there.
void copyTo(const QString& path);

// The first column of the first row of sql, with value bound to its one parameter when given.
qint64 count(Database& db, const QString& sql, const QString& value = {});

} // namespace BenchLibrary
