// A keyboard on the compositor's seat as a person has one: a virtual keyboard with the standard
// US layout, plugged in before the demo starts and there until this program ends, so that every
// window gets the same keymap with its focus. Reads one chord a line from standard input
// ("alt+w", "Return", "Escape": keysym names, pressed in order and released in reverse), types
// it, and answers "ok" once the compositor has taken the keys.
#define _GNU_SOURCE
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

// The virtual keyboard protocol (zwp_virtual_keyboard_unstable_v1), whose description no Debian
// package installs: its two interfaces as wayland-scanner would write them.
extern const struct wl_interface zwp_virtual_keyboard_v1_interface;
static const struct wl_interface* createTypes[] = {&wl_seat_interface,
                                                   &zwp_virtual_keyboard_v1_interface};
static const struct wl_interface* noTypes[] = {NULL, NULL, NULL, NULL};
static const struct wl_message managerRequests[] = {{"create_virtual_keyboard", "on", createTypes}};
static const struct wl_message keyboardRequests[] = {
    {"keymap", "uhu", noTypes}, {"key", "uuu", noTypes}, {"modifiers", "uuuu", noTypes}};
static const struct wl_interface managerInterface = {
    "zwp_virtual_keyboard_manager_v1", 1, 1, managerRequests, 0, NULL};
const struct wl_interface zwp_virtual_keyboard_v1_interface = {"zwp_virtual_keyboard_v1", 1, 3,
                                                               keyboardRequests,          0, NULL};
enum { requestKeymap, requestKey, requestModifiers };

static struct wl_seat* seat;
static struct wl_proxy* manager;

static void global(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                   uint32_t version) {
    (void)data, (void)version;
    if (!seat && strcmp(interface, wl_seat_interface.name) == 0)
        seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
    if (strcmp(interface, managerInterface.name) == 0)
        manager = wl_registry_bind(registry, name, &managerInterface, 1);
}
static void globalRemove(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data, (void)registry, (void)name;
}

static struct wl_proxy* keyboard;
static struct xkb_keymap* keymap;
static struct xkb_state* state;

static uint32_t milliseconds(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (uint32_t)(t.tv_sec * 1000 + t.tv_nsec / 1000000);
}

// The key that gives the keysym on its first level.
static xkb_keycode_t keycodeOf(const char* name) {
    xkb_keysym_t sym = xkb_keysym_from_name(name, XKB_KEYSYM_NO_FLAGS);
    if (sym == XKB_KEY_NoSymbol) sym = xkb_keysym_from_name(name, XKB_KEYSYM_CASE_INSENSITIVE);
    for (xkb_keycode_t k = xkb_keymap_min_keycode(keymap); k <= xkb_keymap_max_keycode(keymap);
         ++k) {
        const xkb_keysym_t* syms;
        if (sym != XKB_KEY_NoSymbol &&
            xkb_keymap_key_get_syms_by_level(keymap, k, 0, 0, &syms) > 0 && syms[0] == sym)
            return k;
    }
    return 0;
}

// One key event, then the modifier state that follows from it, as a keyboard reports them.
static void send(xkb_keycode_t key, int down) {
    wl_proxy_marshal_flags(keyboard, requestKey, NULL, 1, 0, milliseconds(), key - 8, down);
    xkb_state_update_key(state, key, down ? XKB_KEY_DOWN : XKB_KEY_UP);
    wl_proxy_marshal_flags(keyboard, requestModifiers, NULL, 1, 0,
                           xkb_state_serialize_mods(state, XKB_STATE_MODS_DEPRESSED),
                           xkb_state_serialize_mods(state, XKB_STATE_MODS_LATCHED),
                           xkb_state_serialize_mods(state, XKB_STATE_MODS_LOCKED),
                           xkb_state_serialize_layout(state, XKB_STATE_LAYOUT_EFFECTIVE));
}

int main(void) {
    struct wl_display* display = wl_display_connect(NULL);
    if (!display) {
        fprintf(stderr, "seat_keyboard: no Wayland display\n");
        return 1;
    }
    static const struct wl_registry_listener listener = {global, globalRemove};
    wl_registry_add_listener(wl_display_get_registry(display), &listener, NULL);
    wl_display_roundtrip(display);
    if (!seat || !manager) {
        fprintf(stderr, "seat_keyboard: the compositor offers no seat or no virtual keyboards\n");
        return 1;
    }
    keyboard =
        wl_proxy_marshal_flags(manager, 0, &zwp_virtual_keyboard_v1_interface, 1, 0, seat, NULL);
    struct xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    const struct xkb_rule_names us = {"evdev", "pc105", "us", "", ""};
    keymap = xkb_keymap_new_from_names(context, &us, XKB_KEYMAP_COMPILE_NO_FLAGS);
    char* text = keymap ? xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1) : NULL;
    int fd = memfd_create("keymap", MFD_CLOEXEC);
    if (!text || fd < 0 || write(fd, text, strlen(text) + 1) != (ssize_t)(strlen(text) + 1)) {
        fprintf(stderr, "seat_keyboard: cannot make the US keymap\n");
        return 1;
    }
    wl_proxy_marshal_flags(keyboard, requestKeymap, NULL, 1, 0, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1,
                           fd, (uint32_t)(strlen(text) + 1));
    state = xkb_state_new(keymap);
    if (wl_display_roundtrip(display) < 0) return 1;
    printf("ready\n");
    fflush(stdout);

    char line[256];
    while (fgets(line, sizeof line, stdin)) {
        xkb_keycode_t keys[8];
        int count = 0;
        for (char* name = strtok(line, "+ \n"); name && count < 8; name = strtok(NULL, "+ \n")) {
            const char* sym = !strcmp(name, "alt")     ? "Alt_L"
                              : !strcmp(name, "ctrl")  ? "Control_L"
                              : !strcmp(name, "shift") ? "Shift_L"
                                                       : name;
            if (!(keys[count++] = keycodeOf(sym))) {
                fprintf(stderr, "seat_keyboard: no key gives '%s'\n", name);
                return 1;
            }
        }
        // A person's key stays down a moment; clients see press and release apart.
        for (int i = 0; i < count; ++i, usleep(30000))
            send(keys[i], 1);
        for (int i = count - 1; i >= 0; --i, usleep(30000))
            send(keys[i], 0);
        if (wl_display_roundtrip(display) < 0) return 1;
        printf("ok\n");
        fflush(stdout);
    }
    return 0;
}
