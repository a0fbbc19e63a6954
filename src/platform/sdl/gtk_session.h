// GTK is started once, on the first dialog or message box, and only when a display is there.
#pragma once

// True when GTK runs; false (once, quietly) when it has no display.
bool gtkReady();
// Lets GTK finish what a closed dialog left (unmapping, redraws) before the caller goes on.
void gtkSettle();
