// The modal dialog, laid out by GTK from a dialog template: each control sits at its
// rectangle in dialog units, converted to pixels with the base units of the template's font.
// The dialog procedure sees the messages a Windows dialog would send it.
#include "platform/window_system.h"

#include "platform/sdl/gtk_session.h"
#include "resources/dialog_template.h"
#include "resources/lanternwhirl_picture.h"

#include <gtk/gtk.h>

#include <string>
#include <vector>

struct DialogRecord {
    GtkWidget* window = nullptr;
    DialogProc proc = nullptr;
    const DialogTemplate* dialogTemplate = nullptr;
    std::vector<std::pair<int32_t, GtkWidget*>> controls;
    int32_t defaultId = IDOK;
    bool ended = false;
    intptr_t result = 0;
    bool quiet = false; // changes made by the program itself notify nobody
};

namespace {
// "&Window" → "_Window": a Windows mnemonic in GTK's notation ("&&" is a plain "&").
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

void notify(DialogRecord* d, int32_t id) {
    if (d->quiet || d->ended) return;
    d->proc(d, WM_COMMAND, makeParam(uint32_t(id), BN_CLICKED), 0);
}

int32_t idOf(DialogRecord* d, GtkWidget* w) {
    for (auto& c : d->controls)
        if (c.second == w) return c.first;
    return controlNone;
}

void onClicked(GtkButton* button, gpointer data) {
    DialogRecord* d = static_cast<DialogRecord*>(data);
    // A radio button that another one's click has just cleared sends nothing.
    if (GTK_IS_RADIO_BUTTON(button) && !gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(button)))
        return;
    notify(d, idOf(d, GTK_WIDGET(button)));
}

gboolean onDelete(GtkWidget*, GdkEvent*, gpointer data) {
    DialogRecord* d = static_cast<DialogRecord*>(data);
    if (!d->ended) d->proc(d, WM_CLOSE, 0, 0);
    return TRUE; // the dialog procedure decides
}

// The key of a control's mnemonic ("&Window": w), 0 for none.
guint mnemonicKey(const char* text) {
    for (const char* p = text; p && *p; ++p) {
        if (*p == '&' && p[1] == '&')
            ++p;
        else if (*p == '&')
            return gdk_keyval_to_lower(gdk_unicode_to_keyval(static_cast<unsigned char>(p[1])));
    }
    return 0;
}

// Keys the Windows dialog manager handles itself: Escape is the Cancel command, Enter the
// default button's command (whatever has the focus), Alt+F4 the close request. Alt and a
// mnemonic's letter activate its control here, by the key's symbol: GTK's own mnemonics find
// the key by its code, and on Wayland they do not fire for a virtual or on-screen keyboard
// whose keymap puts the letters on other codes (wtype's does).
gboolean onKey(GtkWidget*, GdkEventKey* e, gpointer data) {
    DialogRecord* d = static_cast<DialogRecord*>(data);
    if (d->ended) return TRUE;
    guint mods = e->state & gtk_accelerator_get_default_mod_mask();
    if (e->keyval == GDK_KEY_Escape && mods == 0) {
        notify(d, IDCANCEL);
        return TRUE;
    }
    if ((e->keyval == GDK_KEY_Return || e->keyval == GDK_KEY_KP_Enter ||
         e->keyval == GDK_KEY_ISO_Enter) &&
        mods == 0) {
        notify(d, d->defaultId);
        return TRUE;
    }
    if (e->keyval == GDK_KEY_F4 && mods == GDK_MOD1_MASK) {
        d->proc(d, WM_CLOSE, 0, 0);
        return TRUE;
    }
    const DialogTemplate& t = *d->dialogTemplate;
    for (int32_t i = 0; mods == GDK_MOD1_MASK && i < t.controlCount; ++i)
        if (mnemonicKey(t.controls[i].text) == gdk_keyval_to_lower(e->keyval))
            return gtk_widget_mnemonic_activate(d->controls[size_t(i)].second, FALSE);
    return FALSE;
}

GdkPixbuf* bitmapPixbuf(int32_t id) {
    if (id != setupBitmapId) return nullptr;
    static std::vector<uint8_t> pixels;
    if (pixels.empty()) {
        pixels.resize(size_t(setupBitmapSize) * setupBitmapSize * 3);
        makeSetupBitmap(pixels.data());
    }
    return gdk_pixbuf_new_from_data(pixels.data(), GDK_COLORSPACE_RGB, FALSE, 8, setupBitmapSize,
                                    setupBitmapSize, setupBitmapSize * 3, nullptr, nullptr);
}

void applyFont(const DialogTemplate& t) {
    static bool done = false;
    if (done) return;
    done = true;
    std::string css = "window.setup-dialog, window.setup-dialog * { font-family: \"" +
                      std::string(t.fontFace) +
                      "\", Sans; font-size: " + std::to_string(t.pointSize) +
                      "pt; }\n"
                      "window.setup-dialog button { padding: 0 6px; min-height: 0; }\n"
                      "window.setup-dialog checkbutton, window.setup-dialog radiobutton"
                      " { padding: 0; min-height: 0; }\n";
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, css.c_str(), -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(),
                                              GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}

GtkWidget* makeControl(DialogRecord& d, const DialogControl& c, GtkWidget* previousRadio) {
    GtkWidget* w = nullptr;
    std::string label = c.text ? mnemonicLabel(c.text) : std::string();
    switch (c.kind) {
    case ControlKind::defaultPushButton:
        w = gtk_button_new_with_mnemonic(label.c_str());
        gtk_widget_set_can_default(w, TRUE);
        d.defaultId = c.id;
        break;
    case ControlKind::autoRadioButton:
        w = previousRadio ? gtk_radio_button_new_with_mnemonic_from_widget(
                                GTK_RADIO_BUTTON(previousRadio), label.c_str())
                          : gtk_radio_button_new_with_mnemonic(nullptr, label.c_str());
        break;
    case ControlKind::autoCheckBox:
        w = gtk_check_button_new_with_mnemonic(label.c_str());
        break;
    case ControlKind::groupBox:
        w = gtk_frame_new(c.text);
        if (c.style & BS_CENTER) gtk_frame_set_label_align(GTK_FRAME(w), 0.5f, 0.5f);
        break;
    case ControlKind::bitmap: {
        w = gtk_frame_new(nullptr);
        gtk_frame_set_shadow_type(GTK_FRAME(w),
                                  (c.exStyle & WS_EX_CLIENTEDGE) ? GTK_SHADOW_IN : GTK_SHADOW_NONE);
        GdkPixbuf* pixbuf = bitmapPixbuf(c.imageId);
        GtkWidget* image = pixbuf ? gtk_image_new_from_pixbuf(pixbuf) : gtk_image_new();
        if (pixbuf) g_object_unref(pixbuf);
        gtk_widget_set_halign(image, GTK_ALIGN_START);
        gtk_widget_set_valign(image, GTK_ALIGN_START);
        gtk_container_add(GTK_CONTAINER(w), image);
        break;
    }
    }
    if (c.kind == ControlKind::defaultPushButton || c.kind == ControlKind::autoRadioButton ||
        c.kind == ControlKind::autoCheckBox) {
        gtk_widget_set_can_focus(w,
                                 (c.style & WS_TABSTOP) || c.kind == ControlKind::autoRadioButton);
        g_signal_connect(w, "clicked", G_CALLBACK(onClicked), &d);
    }
    gtk_widget_set_size_request(w, dialogPixelsAcross(c.cx), dialogPixelsDown(c.cy));
    return w;
}
} // namespace

intptr_t dialogBox(ModuleHandle, int32_t templateId, WindowHandle, DialogProc dialogProc) {
    const DialogTemplate* t = findDialogTemplate(templateId);
    if (!t || !dialogProc || !gtkReady()) return -1;
    applyFont(*t);

    DialogRecord d;
    d.proc = dialogProc;
    d.dialogTemplate = t;
    d.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWindow* window = GTK_WINDOW(d.window);
    gtk_style_context_add_class(gtk_widget_get_style_context(d.window), "setup-dialog");
    gtk_window_set_title(window, t->caption);
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_modal(window, TRUE);
    gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
    if (t->style & DS_CENTER) gtk_window_set_position(window, GTK_WIN_POS_CENTER);

    GtkWidget* fixed = gtk_fixed_new();
    gtk_widget_set_size_request(fixed, dialogPixelsAcross(t->cx), dialogPixelsDown(t->cy));
    gtk_container_add(GTK_CONTAINER(d.window), fixed);
    GtkWidget* previousRadio = nullptr;
    GtkWidget* defaultButton = nullptr;
    for (int32_t i = 0; i < t->controlCount; ++i) {
        const DialogControl& c = t->controls[i];
        GtkWidget* w = makeControl(d, c, previousRadio);
        previousRadio = c.kind == ControlKind::autoRadioButton ? w : nullptr;
        if (c.kind == ControlKind::defaultPushButton) defaultButton = w;
        gtk_fixed_put(GTK_FIXED(fixed), w, dialogPixelsAcross(c.x), dialogPixelsDown(c.y));
        d.controls.push_back({c.id, w});
    }
    if (defaultButton) gtk_window_set_default(window, defaultButton);
    g_signal_connect(d.window, "delete-event", G_CALLBACK(onDelete), &d);
    g_signal_connect(d.window, "key-press-event", G_CALLBACK(onKey), &d);

    d.proc(&d, WM_INITDIALOG, 0, 0);
    if (!d.ended) {
        gtk_widget_show_all(d.window);
        if (t->style & DS_SETFOREGROUND) gtk_window_present(window);
        while (!d.ended)
            gtk_main_iteration();
    }
    gtk_widget_destroy(d.window);
    gtkSettle();
    return d.result;
}

bool endDialog(DialogHandle dialog, intptr_t result) {
    if (!dialog) return false;
    dialog->ended = true;
    dialog->result = result;
    return true;
}

bool checkRadioButton(DialogHandle dialog, int32_t firstId, int32_t lastId, int32_t checkId) {
    if (!dialog) return false;
    dialog->quiet = true;
    for (auto& c : dialog->controls) {
        if (c.first < firstId || c.first > lastId || !GTK_IS_RADIO_BUTTON(c.second)) continue;
        if (c.first == checkId) gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(c.second), TRUE);
    }
    dialog->quiet = false;
    return true;
}

uint32_t isDlgButtonChecked(DialogHandle dialog, int32_t id) {
    if (!dialog) return BST_UNCHECKED;
    for (auto& c : dialog->controls)
        if (c.first == id && GTK_IS_TOGGLE_BUTTON(c.second))
            return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(c.second)) ? BST_CHECKED
                                                                             : BST_UNCHECKED;
    return BST_UNCHECKED;
}
