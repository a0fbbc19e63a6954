// GTK is started once, on the first dialog or message box, and only when a display is there;
// and what the dialog and the boxes share: keys in neutral terms for Win32's dialog rules, and
// Windows' mnemonic texts in GTK's notation.
#pragma once
#include "platform/win32_rules/keys.h"

#include <gtk/gtk.h>

#include <string>

// True when GTK runs; false (once, quietly) when it has no display.
bool gtkReady();
// Lets GTK finish what a closed dialog left (unmapping, redraws) before the caller goes on.
void gtkSettle();
// A GTK key event as the dialog manager takes it. The key goes by its symbol: GTK's own
// mnemonics find a key by its code, and on Wayland they do not fire for a virtual or on-screen
// keyboard whose keymap puts the letters on other codes (wtype's does).
KeyEvent keyFromGdk(const GdkEventKey* e);
// "&Window" → "_Window": a Windows mnemonic in GTK's notation ("&&" is a plain "&").
std::string mnemonicLabel(const char* text);
