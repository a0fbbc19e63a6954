#include "resources/dialog_template.h"

namespace {
constexpr uint32_t child = WS_CHILD | WS_VISIBLE;

const DialogControl setupControls[] = {
    {controlRunDemo, ControlKind::defaultPushButton, "&RunDemo", 31, 152, 46, 15,
     child | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 0},
    {controlMode640, ControlKind::autoRadioButton, "&640x480", 23, 61, 45, 8,
     child | BS_AUTORADIOBUTTON, 0, 0},
    {controlMode800, ControlKind::autoRadioButton, "&800x600", 23, 75, 45, 8,
     child | BS_AUTORADIOBUTTON, 0, 0},
    {controlNone, ControlKind::groupBox, "Options:", 15, 9, 81, 132,
     child | BS_GROUPBOX | BS_CENTER, 0, 0},
    {controlWindowed, ControlKind::autoCheckBox, "&Window", 24, 30, 59, 10,
     child | BS_AUTOCHECKBOX | WS_TABSTOP, 0, 0},
    {controlNoSound, ControlKind::autoCheckBox, "&No sound", 24, 115, 45, 10,
     child | BS_AUTOCHECKBOX | WS_TABSTOP, 0, 0},
    {controlNone, ControlKind::bitmap, nullptr, 105, 13, 173, 160, child | SS_BITMAP,
     WS_EX_CLIENTEDGE, setupBitmapId},
};

const DialogTemplate setupDialog = {
    setupDialogId,
    "Ketterfold: Lanternwhirl",
    "MS Sans Serif",
    8,
    297,
    190,
    DS_SETFONT | DS_MODALFRAME | DS_3DLOOK | DS_CENTER | DS_SETFOREGROUND | WS_POPUP_STYLE |
        WS_CAPTION | WS_SYSMENU,
    setupControls,
    int32_t(sizeof setupControls / sizeof setupControls[0]),
};
} // namespace

const DialogTemplate* findDialogTemplate(int32_t id) {
    return id == setupDialogId ? &setupDialog : nullptr;
}

int32_t dialogPixelsAcross(int32_t units) {
    return (units * 6 + 2) / 4;
}

int32_t dialogPixelsDown(int32_t units) {
    return (units * 13 + 4) / 8;
}
