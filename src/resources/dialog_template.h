// The setup dialog as data: an extended dialog template with its controls in dialog units,
// their kinds, texts (with & mnemonics) and styles, and the ids of the program's resources.
#pragma once
#include <cstdint>

constexpr int32_t setupDialogId = 101;
constexpr int32_t setupBitmapId = 103;
constexpr int32_t programIconId = 104;

constexpr int32_t controlRunDemo = 1; // the OK button
constexpr int32_t controlMode640 = 1003;
constexpr int32_t controlMode800 = 1004;
constexpr int32_t controlWindowed = 1010;
constexpr int32_t controlNoSound = 1011;
constexpr int32_t controlNone = -1;

// Dialog styles.
constexpr uint32_t DS_3DLOOK = 0x0004;
constexpr uint32_t DS_SETFONT = 0x0040;
constexpr uint32_t DS_MODALFRAME = 0x0080;
constexpr uint32_t DS_SETFOREGROUND = 0x0200;
constexpr uint32_t DS_CENTER = 0x0800;
constexpr uint32_t WS_CAPTION = 0x00C00000;
constexpr uint32_t WS_SYSMENU = 0x00080000;
constexpr uint32_t WS_POPUP_STYLE = 0x80000000u;

// Control styles.
constexpr uint32_t WS_CHILD = 0x40000000;
constexpr uint32_t WS_VISIBLE = 0x10000000;
constexpr uint32_t WS_TABSTOP = 0x00010000;
constexpr uint32_t WS_GROUP = 0x00020000;
constexpr uint32_t BS_DEFPUSHBUTTON = 0x0001;
constexpr uint32_t BS_AUTOCHECKBOX = 0x0003;
constexpr uint32_t BS_GROUPBOX = 0x0007;
constexpr uint32_t BS_AUTORADIOBUTTON = 0x0009;
constexpr uint32_t BS_CENTER = 0x0300;
constexpr uint32_t SS_BITMAP = 0x000E;
constexpr uint32_t WS_EX_CLIENTEDGE = 0x0200;

enum class ControlKind { defaultPushButton, autoRadioButton, groupBox, autoCheckBox, bitmap };

struct DialogControl {
    int32_t id;
    ControlKind kind;
    const char* text; // null for the picture
    int16_t x, y, cx, cy;
    uint32_t style;
    uint32_t exStyle;
    int32_t imageId; // the bitmap a picture shows, else 0
};

struct DialogTemplate {
    int32_t id;
    const char* caption;
    const char* fontFace;
    int32_t pointSize;
    int16_t cx, cy;
    uint32_t style;
    const DialogControl* controls;
    int32_t controlCount;
};

// The template of the given id, or null.
const DialogTemplate* findDialogTemplate(int32_t id);

// Dialog units in pixels, with the base units of the template's font (8-point "MS Sans Serif":
// 6 × 13 pixels, so one unit is 1.5 pixels across and 1.625 down), rounded as Windows does.
int32_t dialogPixelsAcross(int32_t units);
int32_t dialogPixelsDown(int32_t units);
