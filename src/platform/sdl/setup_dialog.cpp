// The modal dialog, laid out by GTK from a dialog template: each control sits at its
// rectangle in dialog units, converted to pixels with the base units of the template's font.
// The dialog procedure sees the messages a Windows dialog would send it.
#include "platform/one_dialog.h"
#include "platform/sdl/gtk_session.h"
#include "platform/win32_rules/dialog_manager.h"
#include "resources/dialog_template.h"
#include "resources/lanternwhirl_picture.h"

#include <gtk/gtk.h>

#include <string>
#include <vector>

struct DialogWidgets {
    GtkWidget* window = nullptr;
    std::vector<GtkWidget*> controls; // one a template control, in its order
    bool quiet = false;               // the widgets follow the manager; that notifies nobody
};

namespace {
int32_t indexOf(DialogRecord* d, GtkWidget* w) {
    for (size_t i = 0; i < d->widgets->controls.size(); ++i)
        if (d->widgets->controls[i] == w) return int32_t(i);
    return -1;
}

// A click by the pointer: GTK has ticked the widget itself; the manager decides, and the
// widgets are set to what it decided.
void onClicked(GtkButton* button, gpointer data) {
    DialogRecord* d = static_cast<DialogRecord*>(data);
    if (d->widgets->quiet || d->ended) return;
    // A radio button that another one's click has just cleared sends nothing.
    if (GTK_IS_RADIO_BUTTON(button) && !gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(button)))
        return;
    sendDialogOutcome(*d, dialogClick(d->manager, indexOf(d, GTK_WIDGET(button))));
}

gboolean onDelete(GtkWidget*, GdkEvent*, gpointer data) {
    DialogRecord* d = static_cast<DialogRecord*>(data);
    if (!d->ended) sendDialogOutcome(*d, dialogCloseBox(d->manager));
    return TRUE; // the dialog procedure decides
}

// Every key goes to the dialog manager, none to GTK's own focus chain or mnemonics.
gboolean onKey(GtkWidget*, GdkEventKey* e, gpointer data) {
    DialogRecord* d = static_cast<DialogRecord*>(data);
    if (d->ended) return TRUE;
    DialogOutcome outcome = dialogKey(d->manager, keyFromGdk(e));
    if (outcome.handled) sendDialogOutcome(*d, outcome);
    return TRUE;
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
        // The focus goes where the dialog manager says, the radio buttons' arrow keys included.
        gtk_widget_set_can_focus(w, TRUE);
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
    DialogWidgets widgets;
    d.proc = dialogProc;
    d.manager = templateDialog(*t);
    d.widgets = &widgets;
    widgets.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWindow* window = GTK_WINDOW(widgets.window);
    gtk_style_context_add_class(gtk_widget_get_style_context(widgets.window), "setup-dialog");
    gtk_window_set_title(window, t->caption);
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_modal(window, TRUE);
    gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
    if (t->style & DS_CENTER) gtk_window_set_position(window, GTK_WIN_POS_CENTER);

    GtkWidget* fixed = gtk_fixed_new();
    gtk_widget_set_size_request(fixed, dialogPixelsAcross(t->cx), dialogPixelsDown(t->cy));
    gtk_container_add(GTK_CONTAINER(widgets.window), fixed);
    GtkWidget* previousRadio = nullptr;
    GtkWidget* defaultButton = nullptr;
    for (int32_t i = 0; i < t->controlCount; ++i) {
        const DialogControl& c = t->controls[i];
        GtkWidget* w = makeControl(d, c, previousRadio);
        previousRadio = c.kind == ControlKind::autoRadioButton ? w : nullptr;
        if (c.kind == ControlKind::defaultPushButton) defaultButton = w;
        gtk_fixed_put(GTK_FIXED(fixed), w, dialogPixelsAcross(c.x), dialogPixelsDown(c.y));
        widgets.controls.push_back(w);
    }
    if (defaultButton) gtk_window_set_default(window, defaultButton);
    g_signal_connect(widgets.window, "delete-event", G_CALLBACK(onDelete), &d);
    g_signal_connect(widgets.window, "key-press-event", G_CALLBACK(onKey), &d);
    g_signal_connect(widgets.window, "key-release-event", G_CALLBACK(onKey), &d);

    d.proc(&d, WM_INITDIALOG, 0, 0);
    if (!d.ended) {
        gtk_widget_show_all(widgets.window);
        if (t->style & DS_SETFOREGROUND) gtk_window_present(window);
        // Shown and active: the first tab stop takes the focus, as in a Windows dialog.
        activateDialog(d.manager);
        drawDialogState(d);
        while (!d.ended)
            gtk_main_iteration();
    }
    gtk_widget_destroy(widgets.window);
    gtkSettle();
    return d.result;
}

// The widgets show what the dialog manager decided: the ticks and the focus.
void drawDialogState(DialogRecord& d) {
    DialogWidgets& w = *d.widgets;
    w.quiet = true;
    for (size_t i = 0; i < w.controls.size(); ++i)
        if (GTK_IS_TOGGLE_BUTTON(w.controls[i]))
            gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(w.controls[i]),
                                         d.manager.items[i].checked);
    if (d.manager.focus >= 0 && gtk_widget_get_visible(w.window))
        gtk_widget_grab_focus(w.controls[size_t(d.manager.focus)]);
    w.quiet = false;
}
