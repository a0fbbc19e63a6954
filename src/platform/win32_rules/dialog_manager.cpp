#include "platform/win32_rules/dialog_manager.h"

#include "platform/window_system.h"

#include <cstddef>

namespace {
bool focusable(const DialogItem& item) {
    return item.kind != ItemKind::other;
}

// A radio button has a tab stop while it is ticked: Windows' button sets WS_TABSTOP on the one
// that is checked and clears it on the others, so Tab enters a group at its choice.
bool takesTab(const DialogItem& item) {
    return focusable(item) &&
           (item.tabStop || (item.kind == ItemKind::autoRadioButton && item.checked));
}

int32_t count(const DialogManager& d) {
    return int32_t(d.items.size());
}

// The group of item i: from the nearest WS_GROUP item at or before it to the next one.
void groupOf(const DialogManager& d, int32_t i, int32_t& first, int32_t& end) {
    first = i;
    while (first > 0 && !d.items[size_t(first)].groupStart)
        --first;
    end = i + 1;
    while (end < count(d) && !d.items[size_t(end)].groupStart)
        ++end;
}

// The next (or previous) item from i, cyclically within [first, end), that passes the test.
template <typename Test>
int32_t cycle(const DialogManager& d, int32_t i, int32_t first, int32_t end, bool back, Test test) {
    int32_t n = end - first;
    for (int32_t step = 1; step <= n; ++step) {
        int32_t j = first + ((i - first + (back ? -step : step)) % n + n) % n;
        if (test(d.items[size_t(j)])) return j;
    }
    return -1;
}

DialogOutcome command(int32_t id) {
    return {DialogOutcome::command, id, true};
}

DialogOutcome handledOnly() {
    return {DialogOutcome::none, 0, true};
}

// An auto radio button that is clicked clears the others of its group.
void tickRadio(DialogManager& d, int32_t i) {
    int32_t first = 0, end = 0;
    groupOf(d, i, first, end);
    for (int32_t j = first; j < end; ++j)
        if (d.items[size_t(j)].kind == ItemKind::autoRadioButton)
            d.items[size_t(j)].checked = j == i;
}

// BM_CLICK: the control takes the focus, ticks itself as its kind does and sends its command.
DialogOutcome click(DialogManager& d, int32_t i) {
    DialogItem& item = d.items[size_t(i)];
    if (!focusable(item)) return {};
    d.focus = i;
    if (item.kind == ItemKind::autoCheckBox) item.checked = !item.checked;
    if (item.kind == ItemKind::autoRadioButton) tickRadio(d, i);
    return command(item.id);
}

DialogOutcome closeOutcome(const DialogManager& d) {
    if (d.closeCommand == closeDisabled) return handledOnly();
    if (d.closeCommand == closeRequest) return {DialogOutcome::close, 0, true};
    return command(d.closeCommand);
}

bool isPushButton(const DialogItem& item) {
    return item.kind == ItemKind::pushButton || item.kind == ItemKind::defaultPushButton;
}
} // namespace

DialogManager templateDialog(const DialogTemplate& t) {
    DialogManager d;
    for (int32_t i = 0; i < t.controlCount; ++i) {
        const DialogControl& c = t.controls[i];
        DialogItem item;
        item.id = c.id;
        switch (c.kind) {
        case ControlKind::defaultPushButton:
            item.kind = ItemKind::defaultPushButton;
            d.defaultId = c.id;
            break;
        case ControlKind::autoRadioButton:
            item.kind = ItemKind::autoRadioButton;
            break;
        case ControlKind::autoCheckBox:
            item.kind = ItemKind::autoCheckBox;
            break;
        default:
            item.kind = ItemKind::other;
        }
        item.mnemonic = textMnemonic(c.text);
        item.tabStop = (c.style & WS_TABSTOP) != 0;
        item.groupStart = (c.style & WS_GROUP) != 0;
        d.items.push_back(item);
    }
    if (d.defaultId == 0) d.defaultId = IDOK;
    d.escapeCommand = IDCANCEL;
    d.closeCommand = closeRequest;
    return d;
}

void activateDialog(DialogManager& d) {
    if (d.focus >= 0) return;
    for (int32_t i = 0; i < count(d); ++i)
        if (takesTab(d.items[size_t(i)])) {
            d.focus = i;
            return;
        }
}

DialogOutcome dialogKey(DialogManager& d, const KeyEvent& key) {
    if (d.items.empty()) return {};
    bool plain = !key.alt && !key.ctrl && !key.meta;
    // Space presses the focused button; it clicks when it comes up on the same one.
    if (key.virtualKey == VK_SPACE && plain) {
        if (key.down) {
            if (!key.repeat) d.spaceDown = d.focus;
            return handledOnly();
        }
        int32_t pressed = d.spaceDown;
        d.spaceDown = -1;
        return pressed >= 0 && pressed == d.focus ? click(d, pressed) : handledOnly();
    }
    if (!key.down) return {};
    if (key.virtualKey == VK_F4 && key.alt && !key.ctrl && !key.meta) return closeOutcome(d);
    if (key.virtualKey == VK_ESCAPE && plain && !key.shift)
        return d.escapeCommand ? command(d.escapeCommand) : handledOnly();
    if (key.virtualKey == VK_RETURN && plain) {
        // A focused push button is the one Enter presses; otherwise the default button.
        if (d.focus >= 0 && isPushButton(d.items[size_t(d.focus)]))
            return command(d.items[size_t(d.focus)].id);
        return command(d.defaultId);
    }
    if (key.virtualKey == VK_TAB && plain) {
        int32_t from = d.focus >= 0 ? d.focus : (key.shift ? 0 : count(d) - 1);
        int32_t next = cycle(d, from, 0, count(d), key.shift, takesTab);
        if (next >= 0) d.focus = next;
        d.spaceDown = -1;
        return handledOnly();
    }
    if ((key.virtualKey >= VK_LEFT && key.virtualKey <= VK_DOWN) && plain && d.focus >= 0) {
        bool back = key.virtualKey == VK_LEFT || key.virtualKey == VK_UP;
        int32_t first = 0, end = 0;
        groupOf(d, d.focus, first, end);
        int32_t next = cycle(d, d.focus, first, end, back, focusable);
        if (next < 0) return handledOnly();
        DialogItem& item = d.items[size_t(next)];
        d.focus = next;
        d.spaceDown = -1;
        // Arriving on an auto radio button ticks it, as its click would.
        if (item.kind == ItemKind::autoRadioButton && !item.checked) return click(d, next);
        return handledOnly();
    }
    // A mnemonic, with Alt or bare (no control of these wants typed characters): the next
    // control after the focus that has it is clicked.
    if (!key.ctrl && !key.meta) {
        uint32_t letter = keyMnemonic(key);
        if (!letter) return {};
        int32_t from = d.focus >= 0 ? d.focus : count(d) - 1;
        int32_t hit = cycle(d, from, 0, count(d), false, [letter](const DialogItem& item) {
            return focusable(item) && item.mnemonic == letter;
        });
        if (hit >= 0) return click(d, hit);
    }
    return {};
}

DialogOutcome dialogClick(DialogManager& d, int32_t index) {
    if (index < 0 || index >= count(d)) return {};
    return click(d, index);
}

DialogOutcome dialogCloseBox(const DialogManager& d) {
    return closeOutcome(d);
}

int32_t itemIndex(const DialogManager& d, int32_t id) {
    for (int32_t i = 0; i < count(d); ++i)
        if (d.items[size_t(i)].id == id) return i;
    return -1;
}

bool checkRadio(DialogManager& d, int32_t firstId, int32_t lastId, int32_t checkId) {
    if (checkId < firstId || checkId > lastId) return false;
    for (DialogItem& item : d.items)
        if (item.kind == ItemKind::autoRadioButton && item.id >= firstId && item.id <= lastId)
            item.checked = item.id == checkId;
    return true;
}

bool itemChecked(const DialogManager& d, int32_t id) {
    int32_t i = itemIndex(d, id);
    return i >= 0 && d.items[size_t(i)].checked;
}

MessageBoxLayout messageBoxLayout(uint32_t type) {
    MessageBoxLayout box = {};
    switch (type & 0x0F) {
    case MB_OKCANCEL:
        box.buttons[0] = {IDOK, "OK"};
        box.buttons[1] = {IDCANCEL, "Cancel"};
        box.count = 2;
        break;
    case MB_YESNOCANCEL:
        box.buttons[0] = {IDYES, "&Yes"};
        box.buttons[1] = {IDNO, "&No"};
        box.buttons[2] = {IDCANCEL, "Cancel"};
        box.count = 3;
        break;
    case MB_YESNO:
        box.buttons[0] = {IDYES, "&Yes"};
        box.buttons[1] = {IDNO, "&No"};
        box.count = 2;
        break;
    default:
        box.buttons[0] = {IDOK, "OK"};
        box.count = 1;
    }
    int32_t wanted = int32_t((type >> 8) & 0x0F);
    box.defaultIndex = wanted < box.count ? wanted : 0;
    switch (type & 0xF0) {
    case MB_ICONSTOP:
        box.icon = "stop";
        break;
    case MB_ICONQUESTION:
        box.icon = "question";
        break;
    case MB_ICONEXCLAMATION:
        box.icon = "exclamation";
        break;
    case MB_ICONINFORMATION:
        box.icon = "information";
        break;
    default:
        box.icon = nullptr;
    }
    box.closeBox = false;
    for (int32_t i = 0; i < box.count; ++i)
        if (box.buttons[i].id == IDCANCEL) box.closeBox = true;
    if (box.count == 1) box.closeBox = true;
    return box;
}

DialogManager boxDialog(const MessageBoxLayout& layout) {
    DialogManager d;
    for (int32_t i = 0; i < layout.count; ++i) {
        DialogItem item;
        item.id = layout.buttons[i].id;
        item.kind = i == layout.defaultIndex ? ItemKind::defaultPushButton : ItemKind::pushButton;
        item.mnemonic = textMnemonic(layout.buttons[i].label);
        item.tabStop = true;
        item.groupStart = i == 0;
        d.items.push_back(item);
    }
    d.defaultId = layout.buttons[layout.defaultIndex].id;
    d.focus = layout.defaultIndex;
    // Escape is IDCANCEL, which the box answers only with Cancel, or as OK when OK is alone.
    int32_t cancel = 0;
    if (layout.closeBox) cancel = layout.count == 1 ? layout.buttons[0].id : IDCANCEL;
    d.escapeCommand = cancel;
    d.closeCommand = cancel ? cancel : closeDisabled;
    return d;
}
