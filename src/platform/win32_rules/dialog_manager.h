// The Windows dialog manager for the window systems that are not Win32: which control has the
// focus and which are ticked, and what a key, a click or the close box does, as Windows decides
// it for a dialog (IsDialogMessage and the buttons' own clicks). Message boxes are dialogs of
// their own here too. The backends draw the state and send the outcome to the dialog procedure.
#pragma once
#include "platform/win32_rules/keys.h"
#include "resources/dialog_template.h"

#include <cstdint>
#include <vector>

enum class ItemKind { pushButton, defaultPushButton, autoRadioButton, autoCheckBox, other };

struct DialogItem {
    int32_t id = 0;
    ItemKind kind = ItemKind::other; // other: group boxes and pictures, which never take focus
    uint32_t mnemonic = 0;           // upper case, 0 for none
    bool tabStop = false;    // WS_TABSTOP in the template; a ticked radio button has one too
    bool groupStart = false; // WS_GROUP: a new group of the arrow keys starts here
    bool checked = false;
};

struct DialogManager {
    std::vector<DialogItem> items;
    int32_t focus = -1; // index of the item with the focus; -1 before the dialog is active
    int32_t defaultId = 0;
    // The command Escape sends (0: none), and the close box's and Alt+F4's: a command, or
    // closeRequest (the dialog's WM_CLOSE), or closeDisabled.
    int32_t escapeCommand = 0;
    int32_t closeCommand = 0;
    int32_t spaceDown = -1; // the item Space went down on; the click comes when it goes up
};

constexpr int32_t closeRequest = 0;
constexpr int32_t closeDisabled = -1;

// What a key, a click or the close box asks of the dialog procedure.
struct DialogOutcome {
    enum Kind { none, command, close };
    Kind kind = none;
    int32_t id = 0;       // the command's control id
    bool handled = false; // the dialog manager took the event (the backend keeps it from its own)
};

// The dialog of a template: its buttons, radio buttons and check boxes with their mnemonics and
// tab stops; Enter is the default button's, Escape IDCANCEL, the close box the close request.
DialogManager templateDialog(const DialogTemplate& t);
// The dialog is shown and active: the first tab stop takes the focus if nothing has it yet.
void activateDialog(DialogManager& d);

DialogOutcome dialogKey(DialogManager& d, const KeyEvent& key);
// A pointer click on item index: the control's own click (focus, tick, its command).
DialogOutcome dialogClick(DialogManager& d, int32_t index);
DialogOutcome dialogCloseBox(const DialogManager& d);

int32_t itemIndex(const DialogManager& d, int32_t id); // -1 when no item has the id
// CheckRadioButton: ticks checkId and clears the other radio buttons from firstId to lastId.
bool checkRadio(DialogManager& d, int32_t firstId, int32_t lastId, int32_t checkId);
bool itemChecked(const DialogManager& d, int32_t id);

// A message box: its buttons in order, the default one, its icon and which keys answer it.
struct BoxButton {
    int32_t id;
    const char* label; // with its & mnemonic
};

struct MessageBoxLayout {
    BoxButton buttons[3];
    int32_t count;
    int32_t defaultIndex;
    const char* icon; // "stop", "question", "exclamation", "information", or null
    bool closeBox;    // the title bar's close box answers (a box with Cancel, or OK alone)
};

MessageBoxLayout messageBoxLayout(uint32_t type);
// The box as a dialog: its buttons' commands are the answers; Escape and the close box answer
// only where the box has Cancel (IDCANCEL) or OK alone (IDOK). The default button has the focus.
DialogManager boxDialog(const MessageBoxLayout& layout);
