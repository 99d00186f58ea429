#pragma once

#include <QString>

// The small state the browser's panes share: what is shown and the flags that keep the panes'
// handlers from running into each other.
struct BrowserState {
    // The shown sequence's key; 0 when none.
    qint64 currentSequence = 0;
    // Index of the current level menu item; -1 before the first list of a library.
    int levelIndex = -1;
    // True while a grid cell editor is open: the form-wide keys do nothing then.
    bool cellEdit = false;
    // True while a list is being filled: row changes then store no positions.
    bool listFilling = false;
    // The open library takes changes: false without a library and on a read-only one, where no
    // editor opens and no change starts.
    bool writable = false;
    // The call row the next sequence change opens: 0 at start-up, -1 (the level's saved row)
    // after every change, or a search match's row.
    int pendingCallRow = 0;
    // The mouse button held on the call grid (the wheel then moves the sequence list).
    int callGridButton = 0;
};
