#pragma once

#include <functional>

#include "model/actionbuffer.h"
#include "model/actionlist.h"

// How an editor lets the operator edit one action list: the action editor
// runs over the shared buffer, modal, and leaves the buffer as it was when
// the operator cancels. Editors hold one so that tests can play the operator
// without a modal window.
using ActionEditor = std::function<void(ActionBuffer &buffer)>;

// The program's action editor: the `ActEdit` dialog, built afresh over the
// buffer and shown modally over the active window.
void productActionEditor(ActionBuffer &buffer);

// The hand-over every caller uses: the list's 8 codes into buffer slots 0-7,
// the action editor, slots 0-7 back into the list. Slot 8 is never touched.
void editActions(ActionList &list, ActionBuffer &buffer, const ActionEditor &editor);
