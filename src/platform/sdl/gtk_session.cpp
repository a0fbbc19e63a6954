#include "platform/sdl/gtk_session.h"

#include "platform/sdl/program_icon.h"

#include <gtk/gtk.h>

#include <cstdio>

namespace {
int state = 0; // 0 not tried, 1 ready, -1 no display
}

bool gtkReady() {
    if (state == 0) {
        // GTK names the windows' class and app id after the program.
        if (!g_get_prgname()) g_set_prgname(desktopId);
        state = gtk_init_check(nullptr, nullptr) ? 1 : -1;
        if (state < 0) fprintf(stderr, "gtk: cannot open the display\n");
        if (state > 0) setGtkDefaultIcon();
    }
    return state == 1;
}

void gtkSettle() {
    if (state != 1) return;
    while (gtk_events_pending())
        gtk_main_iteration_do(FALSE);
}
