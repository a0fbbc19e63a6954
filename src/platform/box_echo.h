// Every message box is also written to standard error as "caption: text", for whoever started
// the program from a terminal or console (and for the end-to-end tests).
#pragma once

// Writes the box's line; a null text becomes "" and a null caption "Error", as the box shows.
void echoMessageBox(const char*& text, const char*& caption);
