// The setup dialog's procedure: it writes the run settings when RunDemo is pressed.
#pragma once
#include "platform/window_system.h"

intptr_t setupDialogProc(DialogHandle dialog, uint32_t message, uintptr_t wParam, intptr_t lParam);
