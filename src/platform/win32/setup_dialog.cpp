// The modal dialog from the program's dialog resource, run by DialogBoxParamA. The shell's
// dialog procedure rides in as the creation parameter and is kept in the dialog's user slot,
// so a real DLGPROC can hand every later message on to it.
#include "platform/win32/window_records.h"

namespace {
DialogHandle toDialog(HWND dialog) {
    return reinterpret_cast<DialogHandle>(dialog);
}
HWND fromDialog(DialogHandle dialog) {
    return reinterpret_cast<HWND>(dialog);
}

INT_PTR CALLBACK dialogTrampoline(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        lParam = 0; // the shell's procedure was asked for with no creation data
    }
    DialogProc proc = reinterpret_cast<DialogProc>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (!proc) return FALSE; // messages before WM_INITDIALOG: the dialog manager's defaults
    return proc(toDialog(dialog), message, wParam, lParam);
}
} // namespace

intptr_t dialogBox(ModuleHandle instance, int32_t templateId, WindowHandle owner,
                   DialogProc dialogProc) {
    if (!dialogProc) return -1;
    return DialogBoxParamA(HINSTANCE(instance), MAKEINTRESOURCEA(templateId), toHwnd(owner),
                           dialogTrampoline, reinterpret_cast<LPARAM>(dialogProc));
}

bool endDialog(DialogHandle dialog, intptr_t result) {
    return EndDialog(fromDialog(dialog), result);
}

bool checkRadioButton(DialogHandle dialog, int32_t firstId, int32_t lastId, int32_t checkId) {
    return CheckRadioButton(fromDialog(dialog), firstId, lastId, checkId);
}

uint32_t isDlgButtonChecked(DialogHandle dialog, int32_t id) {
    return IsDlgButtonChecked(fromDialog(dialog), id);
}
