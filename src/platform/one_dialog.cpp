#include "platform/one_dialog.h"

void sendDialogOutcome(DialogRecord& d, const DialogOutcome& outcome) {
    drawDialogState(d);
    if (d.ended) return;
    if (outcome.kind == DialogOutcome::command)
        d.proc(&d, WM_COMMAND, makeParam(uint32_t(outcome.id), BN_CLICKED), 0);
    else if (outcome.kind == DialogOutcome::close)
        d.proc(&d, WM_CLOSE, 0, 0);
}

bool endDialog(DialogHandle dialog, intptr_t result) {
    if (!dialog) return false;
    dialog->ended = true;
    dialog->result = result;
    return true;
}

bool checkRadioButton(DialogHandle dialog, int32_t firstId, int32_t lastId, int32_t checkId) {
    if (!dialog || !checkRadio(dialog->manager, firstId, lastId, checkId)) return false;
    drawDialogState(*dialog);
    return true;
}

uint32_t isDlgButtonChecked(DialogHandle dialog, int32_t id) {
    return dialog && itemChecked(dialog->manager, id) ? BST_CHECKED : BST_UNCHECKED;
}
