// Message boxes: a GTK message dialog with the caption, text, buttons and stock icon, or SDL's
// own box where GTK has no display. Every box is also written to standard error.
#include "platform/window_system.h"

#include "platform/box_echo.h"
#include "platform/sdl/gtk_session.h"

#include <SDL.h>
#include <gtk/gtk.h>

namespace {
GtkMessageType gtkIcon(uint32_t type) {
    switch (type & 0xF0) {
    case MB_ICONSTOP:
        return GTK_MESSAGE_ERROR;
    case MB_ICONQUESTION:
        return GTK_MESSAGE_QUESTION;
    case MB_ICONEXCLAMATION:
        return GTK_MESSAGE_WARNING;
    case MB_ICONINFORMATION:
        return GTK_MESSAGE_INFO;
    default:
        return GTK_MESSAGE_OTHER;
    }
}

const char* iconName(uint32_t type) {
    switch (type & 0xF0) {
    case MB_ICONSTOP:
        return "dialog-error";
    case MB_ICONQUESTION:
        return "dialog-question";
    case MB_ICONEXCLAMATION:
        return "dialog-warning";
    case MB_ICONINFORMATION:
        return "dialog-information";
    default:
        return nullptr;
    }
}

// GTK 3 no longer draws the message type's icon itself; put the stock icon beside the text
// as a Windows box has it.
void addIcon(GtkWidget* box, uint32_t type) {
    const char* name = iconName(type);
    GtkWidget* text = gtk_message_dialog_get_message_area(GTK_MESSAGE_DIALOG(box));
    GtkWidget* row = gtk_widget_get_parent(text);
    if (!name || !GTK_IS_BOX(row)) return;
    GtkWidget* image = gtk_image_new_from_icon_name(name, GTK_ICON_SIZE_DIALOG);
    gtk_widget_set_valign(image, GTK_ALIGN_START);
    gtk_box_pack_start(GTK_BOX(row), image, FALSE, FALSE, 0);
    gtk_box_reorder_child(GTK_BOX(row), image, 0);
    gtk_widget_show(image);
}

int32_t gtkBox(const char* text, const char* caption, uint32_t type) {
    bool yesNo = (type & 0x0F) == MB_YESNO;
    GtkWidget* box =
        gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, gtkIcon(type),
                               yesNo ? GTK_BUTTONS_YES_NO : GTK_BUTTONS_OK, "%s", text);
    gtk_window_set_title(GTK_WINDOW(box), caption);
    addIcon(box, type);
    gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER);
    gtk_window_set_keep_above(GTK_WINDOW(box), TRUE);
    // The first button is the default, as in a Windows box.
    gtk_dialog_set_default_response(GTK_DIALOG(box), yesNo ? GTK_RESPONSE_YES : GTK_RESPONSE_OK);
    gint response = gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
    gtkSettle();
    if (yesNo) return response == GTK_RESPONSE_YES ? IDYES : IDNO;
    return IDOK;
}

int32_t sdlBox(const char* text, const char* caption, uint32_t type) {
    bool yesNo = (type & 0x0F) == MB_YESNO;
    const SDL_MessageBoxButtonData okButton[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK,
         "OK"}};
    const SDL_MessageBoxButtonData yesNoButtons[] = {
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"}};
    uint32_t flags = SDL_MESSAGEBOX_INFORMATION;
    if ((type & 0xF0) == MB_ICONSTOP) flags = SDL_MESSAGEBOX_ERROR;
    if ((type & 0xF0) == MB_ICONEXCLAMATION) flags = SDL_MESSAGEBOX_WARNING;
    SDL_MessageBoxData data = {
        flags, nullptr, caption, text, yesNo ? 2 : 1, yesNo ? yesNoButtons : okButton, nullptr};
    int button = -1;
    if (SDL_ShowMessageBox(&data, &button) != 0) return 0; // no box could be shown
    if (yesNo) return button == IDYES ? IDYES : IDNO;
    return IDOK;
}
} // namespace

// The owner only orders the windows; both kinds of box are modal to the whole program anyway.
int32_t messageBox(WindowHandle, const char* text, const char* caption, uint32_t type) {
    echoMessageBox(text, caption);
    if (gtkReady()) return gtkBox(text, caption, type);
    return sdlBox(text, caption, type);
}
