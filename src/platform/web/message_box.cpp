// Message boxes: an HTML box over the page with the caption, text, buttons and icon, modal to
// the program, which waits for the answer. Its buttons, icon, default and which keys answer are
// Windows' rules (win32_rules). Every box is also written to the console.
#include "platform/window_system.h"

#include "platform/box_echo.h"
#include "platform/web/page_dialog.h"

int32_t messageBox(WindowHandle, const char* text, const char* caption, uint32_t type) {
    echoMessageBox(text, caption);
    const MessageBoxLayout layout = messageBoxLayout(type);
    if (boxesTakeTheirDefault) return layout.buttons[layout.defaultIndex].id;
    DialogManager box = boxDialog(layout);
    lwPageOpenBox(caption, text, layout.icon ? layout.icon : "", layout.closeBox);
    for (int32_t i = 0; i < layout.count; ++i)
        lwPageAddBoxButton(layout.buttons[i].label, i == layout.defaultIndex);
    drawDialog(box);
    // A box has no close request of its own: its close box and Escape are a button's command.
    DialogOutcome outcome;
    do
        outcome = nextDialogOutcome(box);
    while (outcome.kind != DialogOutcome::command);
    lwPageCloseBox();
    return outcome.id;
}
