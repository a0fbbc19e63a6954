// What the page's setup dialog, message boxes and render window share: the page's key as the
// Win32 rules take it, and the dialog manager's side of a dialog the page shows: the wait for
// its next event and the drawing of what the manager decided.
#pragma once
#include "platform/web/page_interface.h"
#include "platform/win32_rules/dialog_manager.h"

KeyEvent pageKeyEvent(const PageEvent& e);

// Draws which controls of the topmost dialog or box are ticked and which has the focus.
void drawDialog(const DialogManager& d);
// Waits for the topmost dialog's or box's events until one asks something of its procedure
// (a command or the close request), drawing the manager's state after each.
DialogOutcome nextDialogOutcome(DialogManager& d);

// Set while the page plays one of its own modes (capture, music, bench): nobody is there to
// answer a box, so each takes its default button without being shown.
extern bool boxesTakeTheirDefault;
