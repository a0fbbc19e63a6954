#include "shell/setup_dialog_proc.h"

#include "resources/dialog_template.h"
#include "common/run_state.h"

intptr_t setupDialogProc(DialogHandle dialog, uint32_t message, uintptr_t wParam, intptr_t) {
    switch (message) {
    case WM_INITDIALOG:
        checkRadioButton(dialog, controlMode640, controlMode800, controlMode640);
        return false;
    case WM_COMMAND:
        if (loWord(wParam) == uint32_t(controlRunDemo)) {
            fullscreen = isDlgButtonChecked(dialog, controlWindowed) == BST_UNCHECKED;
            noSound = isDlgButtonChecked(dialog, controlNoSound) == BST_CHECKED;
            if (isDlgButtonChecked(dialog, controlMode640) == BST_CHECKED) {
                screenWidth = 640;
                screenHeight = 480;
            } else {
                screenWidth = 800;
                screenHeight = 600;
            }
            endDialog(dialog, 1);
        }
        // Any other command, the Cancel that Escape sends included, leaves the dialog open.
        return true;
    case WM_CLOSE:
        endDialog(dialog, 0);
        return true;
    default:
        return false;
    }
}
