// What the SDL and web window systems share of the modal dialog: its record around Win32's
// dialog manager, ending it, its radio buttons and check boxes, and handing what the manager
// decided to the dialog procedure. Each window system keeps its own widgets and draws them.
#pragma once
#include "platform/win32_rules/dialog_manager.h"
#include "platform/window_system.h"

struct DialogWidgets; // the window system's own

struct DialogRecord {
    DialogProc proc = nullptr;
    DialogManager manager;
    bool ended = false;
    intptr_t result = 0;
    DialogWidgets* widgets = nullptr;
};

// The window system's own: the widgets show the manager's ticks and focus.
void drawDialogState(DialogRecord& d);
// The widgets show the state, then the dialog procedure gets the command or the close request.
void sendDialogOutcome(DialogRecord& d, const DialogOutcome& outcome);
