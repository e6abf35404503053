#pragma once

#include <QtGlobal>

#include <algorithm>
#include <array>

#include "actionlist.h"

// The hand-over between an editor and the action editor: the editor copies
// one action list in, the action editor works on the buffer (leaving it as it
// was when cancelled), and the editor copies it back.
struct ActionBuffer {
    std::array<qint16, 9> Codes{}; // slots 0-7 carry a list; slot 8 is spare

    void load(const ActionList &list) { std::copy(list.begin(), list.end(), Codes.begin()); }
    void storeTo(ActionList &list) const { std::copy_n(Codes.begin(), list.size(), list.begin()); }
};
