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

namespace {
int32_t virtualKeyFromGdk(guint keyval) {
    guint upper = gdk_keyval_to_upper(keyval);
    if (upper >= GDK_KEY_A && upper <= GDK_KEY_Z) return int32_t('A' + (upper - GDK_KEY_A));
    if (keyval >= GDK_KEY_0 && keyval <= GDK_KEY_9) return int32_t('0' + (keyval - GDK_KEY_0));
    switch (keyval) {
    case GDK_KEY_Tab:
    case GDK_KEY_ISO_Left_Tab:
    case GDK_KEY_KP_Tab:
        return VK_TAB;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
        return VK_RETURN;
    case GDK_KEY_Escape:
        return VK_ESCAPE;
    case GDK_KEY_space:
    case GDK_KEY_KP_Space:
        return VK_SPACE;
    case GDK_KEY_Left:
    case GDK_KEY_KP_Left:
        return VK_LEFT;
    case GDK_KEY_Up:
    case GDK_KEY_KP_Up:
        return VK_UP;
    case GDK_KEY_Right:
    case GDK_KEY_KP_Right:
        return VK_RIGHT;
    case GDK_KEY_Down:
    case GDK_KEY_KP_Down:
        return VK_DOWN;
    case GDK_KEY_F4:
        return VK_F4;
    default:
        return 0;
    }
}
} // namespace

KeyEvent keyFromGdk(const GdkEventKey* e) {
    KeyEvent key;
    key.down = e->type == GDK_KEY_PRESS;
    key.virtualKey = virtualKeyFromGdk(e->keyval);
    key.character = gdk_keyval_to_unicode(e->keyval);
    key.alt = (e->state & GDK_MOD1_MASK) != 0;
    key.ctrl = (e->state & GDK_CONTROL_MASK) != 0;
    key.shift = (e->state & GDK_SHIFT_MASK) != 0 || e->keyval == GDK_KEY_ISO_Left_Tab;
    key.meta = (e->state & (GDK_META_MASK | GDK_SUPER_MASK)) != 0;
    return key;
}

std::string mnemonicLabel(const char* text) {
    std::string out;
    for (const char* p = text; *p; ++p) {
        if (*p == '&') {
            if (p[1] == '&') {
                out += '&';
                ++p;
            } else if (p[1]) {
                out += '_';
            }
        } else if (*p == '_') {
            out += "__";
        } else {
            out += *p;
        }
    }
    return out;
}
