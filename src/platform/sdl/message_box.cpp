// Message boxes: a GTK message dialog with the caption, text, buttons and stock icon, or SDL's
// own box where GTK has no display. Every box is also written to standard error.
#include "platform/window_system.h"

#include "platform/box_echo.h"
#include "platform/sdl/gtk_session.h"
#include "platform/win32_rules/dialog_manager.h"

#include <SDL.h>
#include <gtk/gtk.h>

#include <string>
#include <vector>

namespace {
GtkMessageType gtkType(const char* icon) {
    if (!icon) return GTK_MESSAGE_OTHER;
    switch (icon[0]) {
    case 's':
        return GTK_MESSAGE_ERROR;
    case 'q':
        return GTK_MESSAGE_QUESTION;
    case 'e':
        return GTK_MESSAGE_WARNING;
    default:
        return GTK_MESSAGE_INFO;
    }
}

const char* iconName(const char* icon) {
    switch (gtkType(icon)) {
    case GTK_MESSAGE_ERROR:
        return "dialog-error";
    case GTK_MESSAGE_QUESTION:
        return "dialog-question";
    case GTK_MESSAGE_WARNING:
        return "dialog-warning";
    case GTK_MESSAGE_INFO:
        return "dialog-information";
    default:
        return nullptr;
    }
}

// GTK 3 no longer draws the message type's icon itself; put the stock icon beside the text
// as a Windows box has it.
void addIcon(GtkWidget* box, const char* icon) {
    const char* name = iconName(icon);
    GtkWidget* text = gtk_message_dialog_get_message_area(GTK_MESSAGE_DIALOG(box));
    GtkWidget* row = gtk_widget_get_parent(text);
    if (!name || !GTK_IS_BOX(row)) return;
    GtkWidget* image = gtk_image_new_from_icon_name(name, GTK_ICON_SIZE_DIALOG);
    gtk_widget_set_valign(image, GTK_ALIGN_START);
    gtk_box_pack_start(GTK_BOX(row), image, FALSE, FALSE, 0);
    gtk_box_reorder_child(GTK_BOX(row), image, 0);
    gtk_widget_show(image);
}

struct BoxWindow {
    GtkWidget* window;
    DialogManager manager;
    std::vector<GtkWidget*> buttons;
};

void answerOrFocus(BoxWindow* b, const DialogOutcome& outcome) {
    if (outcome.kind == DialogOutcome::command) {
        gtk_dialog_response(GTK_DIALOG(b->window), outcome.id);
        return;
    }
    if (b->manager.focus >= 0) gtk_widget_grab_focus(b->buttons[size_t(b->manager.focus)]);
}

// Every key goes to Win32's rules for a message box: the mnemonics bare or with Alt, Enter,
// Tab and the arrows between the buttons; Escape only where the box has Cancel or OK alone.
gboolean onBoxKey(GtkWidget*, GdkEventKey* e, gpointer data) {
    BoxWindow* b = static_cast<BoxWindow*>(data);
    answerOrFocus(b, dialogKey(b->manager, keyFromGdk(e)));
    return TRUE;
}

gboolean onBoxDelete(GtkWidget*, GdkEvent*, gpointer data) {
    BoxWindow* b = static_cast<BoxWindow*>(data);
    answerOrFocus(b, dialogCloseBox(b->manager));
    return TRUE;
}

int32_t gtkBox(const char* text, const char* caption, const MessageBoxLayout& layout) {
    BoxWindow b;
    b.manager = boxDialog(layout);
    b.window = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, gtkType(layout.icon),
                                      GTK_BUTTONS_NONE, "%s", text);
    for (int32_t i = 0; i < layout.count; ++i)
        b.buttons.push_back(gtk_dialog_add_button(GTK_DIALOG(b.window),
                                                  mnemonicLabel(layout.buttons[i].label).c_str(),
                                                  layout.buttons[i].id));
    gtk_window_set_title(GTK_WINDOW(b.window), caption);
    addIcon(b.window, layout.icon);
    gtk_window_set_position(GTK_WINDOW(b.window), GTK_WIN_POS_CENTER);
    gtk_window_set_keep_above(GTK_WINDOW(b.window), TRUE);
    gtk_window_set_deletable(GTK_WINDOW(b.window), layout.closeBox);
    gtk_dialog_set_default_response(GTK_DIALOG(b.window), b.manager.defaultId);
    g_signal_connect(b.window, "key-press-event", G_CALLBACK(onBoxKey), &b);
    g_signal_connect(b.window, "key-release-event", G_CALLBACK(onBoxKey), &b);
    g_signal_connect(b.window, "delete-event", G_CALLBACK(onBoxDelete), &b);
    gtk_widget_show_all(b.window);
    answerOrFocus(&b, {});
    // Only a button answers; anything else (the window torn down by force) asks again.
    gint response = 0;
    do
        response = gtk_dialog_run(GTK_DIALOG(b.window));
    while (itemIndex(b.manager, response) < 0 && response != GTK_RESPONSE_NONE);
    gtk_widget_destroy(b.window);
    gtkSettle();
    return response == GTK_RESPONSE_NONE ? b.manager.defaultId : int32_t(response);
}

// SDL's own box, where GTK has no display: the default button takes Enter, and Escape the
// answer Windows gives it, if any.
int32_t sdlBox(const char* text, const char* caption, const MessageBoxLayout& layout) {
    DialogManager manager = boxDialog(layout);
    SDL_MessageBoxButtonData buttons[3];
    std::string labels[3];
    for (int32_t i = 0; i < layout.count; ++i) {
        for (const char* p = layout.buttons[i].label; *p; ++p)
            if (*p != '&') labels[i] += *p;
        uint32_t flags = 0;
        if (layout.buttons[i].id == manager.defaultId)
            flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        if (layout.buttons[i].id == manager.escapeCommand)
            flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        buttons[i] = {flags, layout.buttons[i].id, labels[i].c_str()};
    }
    uint32_t flags = SDL_MESSAGEBOX_INFORMATION;
    if (gtkType(layout.icon) == GTK_MESSAGE_ERROR) flags = SDL_MESSAGEBOX_ERROR;
    if (gtkType(layout.icon) == GTK_MESSAGE_WARNING) flags = SDL_MESSAGEBOX_WARNING;
    SDL_MessageBoxData data = {flags, nullptr, caption, text, layout.count, buttons, nullptr};
    for (;;) {
        int button = -1;
        if (SDL_ShowMessageBox(&data, &button) != 0) return 0; // no box could be shown
        if (itemIndex(manager, button) >= 0) return button;
        // Closed without a button: an answer only where the close box gives one.
        if (manager.closeCommand > 0) return manager.closeCommand;
    }
}
} // namespace

// The owner only orders the windows; both kinds of box are modal to the whole program anyway.
int32_t messageBox(WindowHandle, const char* text, const char* caption, uint32_t type) {
    echoMessageBox(text, caption);
    MessageBoxLayout layout = messageBoxLayout(type);
    if (gtkReady()) return gtkBox(text, caption, layout);
    return sdlBox(text, caption, layout);
}
