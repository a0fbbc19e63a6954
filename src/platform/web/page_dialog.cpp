#include "platform/web/page_dialog.h"

bool boxesTakeTheirDefault = false;

KeyEvent pageKeyEvent(const PageEvent& e) {
    KeyEvent key;
    key.down = e.down != 0;
    key.repeat = e.repeat != 0;
    key.virtualKey = e.keyCode;
    key.character = uint32_t(e.character);
    key.placeLetter = uint32_t(e.place);
    key.alt = e.alt != 0;
    key.ctrl = e.ctrl != 0;
    key.shift = e.shift != 0;
    key.meta = e.meta != 0;
    return key;
}

void drawDialog(const DialogManager& d) {
    for (size_t i = 0; i < d.items.size(); ++i)
        lwPageDrawControl(int(i), d.items[i].checked, int32_t(i) == d.focus);
}

DialogOutcome nextDialogOutcome(DialogManager& d) {
    for (;;) {
        PageEvent e = {};
        lwWaitDialogEvent(&e);
        DialogOutcome outcome;
        if (e.kind == pageKey)
            outcome = dialogKey(d, pageKeyEvent(e));
        else if (e.kind == pageClick)
            outcome = dialogClick(d, e.index);
        else if (e.kind == pageClose)
            outcome = dialogCloseBox(d);
        drawDialog(d);
        if (outcome.kind != DialogOutcome::none) return outcome;
    }
}
