#pragma once

#include <QList>
#include <QStringList>

class Database;

// What a library holds, as the level and state lists show it.
namespace LibraryContents {

// The levels that hold sequences, each once.
QStringList levels(Database& db);

// The states the sequences carry, each once; a sequence without a state adds none.
QList<qint64> states(Database& db);

} // namespace LibraryContents
