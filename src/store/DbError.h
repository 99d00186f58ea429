#pragma once

#include "CodedError.h"

// A failed SQLite call: its (extended) result code and message.
class DbError : public CodedError {
public:
    // The program's own extended codes of SQLITE_FULL: not the disk but a table's key has run out,
    // the largest number having been given out already.
    static constexpr int SequenceKeysUsedUp = 13 | (0x60 << 8);
    static constexpr int HistoryKeysUsedUp = 13 | (0x61 << 8);

    DbError(int code, const QString& message) : CodedError(code, message) {}

    // The primary result code (SQLITE_BUSY, SQLITE_NOTADB, ...).
    int primaryCode() const { return code() & 0xFF; }
    // A statement stopped from outside (SQLITE_INTERRUPT), as a progress the user stopped does.
    bool isInterrupt() const { return primaryCode() == 9; }
    // A failure of the library file or of the machine rather than of one record: disk full, an
    // input/output error, no memory, a damaged, read-only or locked file. SQLite may have rolled
    // the whole transaction back by itself, and the next record would fail the same way.
    bool isFatal() const {
        switch (primaryCode()) {
        case 5:  // SQLITE_BUSY
        case 6:  // SQLITE_LOCKED
        case 7:  // SQLITE_NOMEM
        case 8:  // SQLITE_READONLY
        case 9:  // SQLITE_INTERRUPT
        case 10: // SQLITE_IOERR
        case 11: // SQLITE_CORRUPT
        case 13: // SQLITE_FULL
        case 14: // SQLITE_CANTOPEN
        case 15: // SQLITE_PROTOCOL
        case 26: // SQLITE_NOTADB
            return true;
        default:
            return false;
        }
    }
    // The translation key of the plain words for a fatal failure's cause (40311-40317, 40163 and
    // 40164; 40317 takes the engine's message as its argument).
    int causeKey() const {
        if (code() == SequenceKeysUsedUp) {
            return 40163;
        }
        if (code() == HistoryKeysUsedUp) {
            return 40164;
        }
        switch (primaryCode()) {
        case 13: // SQLITE_FULL
            return 40311;
        case 10: // SQLITE_IOERR
        case 14: // SQLITE_CANTOPEN
            return 40312;
        case 8: // SQLITE_READONLY
            return 40313;
        case 5: // SQLITE_BUSY
        case 6: // SQLITE_LOCKED
            return 40314;
        case 7: // SQLITE_NOMEM
            return 40315;
        case 11: // SQLITE_CORRUPT
        case 26: // SQLITE_NOTADB
            return 40316;
        default:
            return 40317;
        }
    }
};
