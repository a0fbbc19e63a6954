// The modal dialog as HTML over the page, laid out from the dialog template: each control sits
// at its rectangle in dialog units, converted to pixels with the base units of the template's
// font. The dialog manager (win32_rules) takes the page's keys, clicks and close box as a
// Windows dialog takes them; the dialog procedure sees the messages a Windows dialog would send
// it, and the program waits for each in turn.
#include "platform/one_dialog.h"
#include "platform/web/page_dialog.h"

#include "resources/dialog_template.h"
#include "resources/lanternwhirl_picture.h"

#include <vector>

namespace {
const char* kindName(ControlKind kind) {
    switch (kind) {
    case ControlKind::defaultPushButton:
        return "default-button";
    case ControlKind::autoRadioButton:
        return "radio";
    case ControlKind::groupBox:
        return "group";
    case ControlKind::autoCheckBox:
        return "check";
    case ControlKind::bitmap:
        return "picture";
    }
    return "";
}

void buildDialog(const DialogTemplate& t) {
    lwPageBeginDialog(t.caption, t.fontFace, t.pointSize, dialogPixelsAcross(t.cx),
                      dialogPixelsDown(t.cy), (t.style & DS_CENTER) != 0);
    for (int32_t i = 0; i < t.controlCount; ++i) {
        const DialogControl& c = t.controls[i];
        lwPageAddControl(c.id, kindName(c.kind), c.text, dialogPixelsAcross(c.x),
                         dialogPixelsDown(c.y), dialogPixelsAcross(c.cx), dialogPixelsDown(c.cy),
                         (c.style & BS_CENTER) == BS_CENTER, (c.exStyle & WS_EX_CLIENTEDGE) != 0);
        if (c.kind == ControlKind::bitmap && c.imageId == setupBitmapId) {
            std::vector<uint8_t> pixels(size_t(setupBitmapSize) * setupBitmapSize * 3);
            makeSetupBitmap(pixels.data());
            lwPageSetPicture(c.id, pixels.data(), setupBitmapSize);
        }
    }
}
} // namespace

intptr_t dialogBox(ModuleHandle, int32_t templateId, WindowHandle, DialogProc dialogProc) {
    const DialogTemplate* t = findDialogTemplate(templateId);
    if (!t || !dialogProc) return -1;
    DialogRecord d;
    d.proc = dialogProc;
    d.manager = templateDialog(*t);
    buildDialog(*t);
    d.proc(&d, WM_INITDIALOG, 0, 0);
    if (!d.ended) {
        lwPageShowDialog();
        activateDialog(d.manager);
        drawDialog(d.manager);
        while (!d.ended)
            sendDialogOutcome(d, nextDialogOutcome(d.manager));
    }
    lwPageCloseDialog();
    return d.result;
}

// The page holds the widgets: it is told the manager's state.
void drawDialogState(DialogRecord& d) {
    drawDialog(d.manager);
}
