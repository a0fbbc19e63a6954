// Win32's rules as the SDL/GTK and web backends get them: the setup dialog's keys, the message
// boxes' answers and the window messages' bits, each checked against what Windows does.
#include "platform/win32_rules/dialog_manager.h"
#include "platform/win32_rules/window_messages.h"

#include <gtest/gtest.h>

namespace {
KeyEvent key(int32_t vk, uint32_t character = 0, bool alt = false, bool shift = false) {
    KeyEvent k;
    k.virtualKey = vk;
    k.character = character;
    k.alt = alt;
    k.shift = shift;
    return k;
}
KeyEvent letter(char c, bool alt = false) {
    return key(c >= 'a' ? c - 'a' + 'A' : c, uint32_t(c), alt);
}
int32_t focusedId(const DialogManager& d) {
    return d.focus >= 0 ? d.items[size_t(d.focus)].id : 0;
}
} // namespace

TEST(SetupDialogManager, KeysMoveTheFocusTickAndSendCommandsAsAWindowsDialogDoes) {
    DialogManager d = templateDialog(*findDialogTemplate(setupDialogId));
    checkRadio(d, controlMode640, controlMode800, controlMode640);
    activateDialog(d);
    EXPECT_EQ(focusedId(d), controlRunDemo);

    // Tab visits only the tab stops, forwards and back: the template's, and the radio button
    // that is ticked (Windows' buttons give it one), as Wine's dialog manager does too.
    int32_t order[] = {controlMode640, controlWindowed, controlNoSound, controlRunDemo};
    for (int32_t id : order) {
        EXPECT_TRUE(dialogKey(d, key(VK_TAB)).handled);
        EXPECT_EQ(focusedId(d), id);
    }
    dialogKey(d, key(VK_TAB, 0, false, true));
    EXPECT_EQ(focusedId(d), controlNoSound);

    // Bare mnemonics and Alt ones click their control: it takes the focus and ticks.
    DialogOutcome o = dialogKey(d, letter('w'));
    EXPECT_EQ(o.kind, DialogOutcome::command);
    EXPECT_EQ(o.id, controlWindowed);
    EXPECT_TRUE(itemChecked(d, controlWindowed));
    EXPECT_EQ(dialogKey(d, letter('n', true)).id, controlNoSound);
    EXPECT_TRUE(itemChecked(d, controlNoSound));
    EXPECT_EQ(dialogKey(d, letter('8')).id, controlMode800);
    EXPECT_TRUE(itemChecked(d, controlMode800));
    EXPECT_FALSE(itemChecked(d, controlMode640));
    KeyEvent ctrlW = letter('w');
    ctrlW.ctrl = true;
    EXPECT_FALSE(dialogKey(d, ctrlW).handled);
    EXPECT_TRUE(itemChecked(d, controlWindowed));

    // The arrow keys move through the group; arriving on a radio button ticks it.
    EXPECT_EQ(dialogKey(d, key(VK_UP)).id, controlMode640);
    EXPECT_TRUE(itemChecked(d, controlMode640) && !itemChecked(d, controlMode800));
    o = dialogKey(d, key(VK_UP));
    EXPECT_EQ(focusedId(d), controlRunDemo);
    EXPECT_EQ(o.kind, DialogOutcome::none);

    // Space clicks the focused control when it comes up; Enter is the default button's
    // command wherever the focus is; Escape is IDCANCEL; Alt+F4 and the close box close.
    dialogKey(d, letter('w')); // Window clear again, and focused
    KeyEvent space = key(VK_SPACE);
    EXPECT_EQ(dialogKey(d, space).kind, DialogOutcome::none);
    space.down = false;
    EXPECT_EQ(dialogKey(d, space).id, controlWindowed);
    EXPECT_TRUE(itemChecked(d, controlWindowed));
    EXPECT_EQ(dialogKey(d, key(VK_RETURN)).id, controlRunDemo);
    EXPECT_EQ(dialogKey(d, key(VK_ESCAPE)).id, IDCANCEL);
    EXPECT_EQ(dialogKey(d, key(VK_F4, 0, true)).kind, DialogOutcome::close);
    EXPECT_EQ(dialogCloseBox(d).kind, DialogOutcome::close);

    // A mnemonic follows the character typed, then the key's place: on a German layout the
    // key in the place of Y types 'z'; an Alt+N that types a dead key still means N.
    KeyEvent german = key('Z', 'z');
    german.placeLetter = 'Y';
    EXPECT_EQ(keyMnemonic(german), uint32_t('Z'));
    KeyEvent dead = key('N', 0, true);
    dead.placeLetter = 'N';
    EXPECT_EQ(dialogKey(d, dead).id, controlNoSound);
}

TEST(MessageBoxRules, YesNoAnswersOnlyToItsButtonsWhileOkAloneAlsoTakesEscapeAndTheCloseBox) {
    MessageBoxLayout question = messageBoxLayout(MB_YESNO | MB_ICONEXCLAMATION);
    ASSERT_EQ(question.count, 2);
    EXPECT_STREQ(question.icon, "exclamation");
    EXPECT_FALSE(question.closeBox);
    DialogManager d = boxDialog(question);
    EXPECT_EQ(dialogKey(d, key(VK_ESCAPE)).kind, DialogOutcome::none);
    EXPECT_EQ(dialogCloseBox(d).kind, DialogOutcome::none);
    EXPECT_EQ(dialogKey(d, key(VK_F4, 0, true)).kind, DialogOutcome::none);
    EXPECT_EQ(dialogKey(d, letter('n')).id, IDNO);
    EXPECT_EQ(dialogKey(d, letter('y', true)).id, IDYES);
    EXPECT_EQ(dialogKey(d, key(VK_RETURN)).id, IDYES);
    dialogKey(d, key(VK_TAB));
    EXPECT_EQ(dialogKey(d, key(VK_RETURN)).id, IDNO);
    EXPECT_EQ(boxDialog(messageBoxLayout(MB_YESNO | MB_DEFBUTTON2)).defaultId, IDNO);

    MessageBoxLayout ok = messageBoxLayout(MB_OK | MB_ICONSTOP);
    EXPECT_STREQ(ok.icon, "stop");
    EXPECT_TRUE(ok.closeBox);
    DialogManager o = boxDialog(ok);
    EXPECT_EQ(dialogKey(o, key(VK_ESCAPE)).id, IDOK);
    EXPECT_EQ(dialogCloseBox(o).id, IDOK);
    EXPECT_EQ(dialogKey(o, key(VK_RETURN)).id, IDOK);
    EXPECT_EQ(dialogCloseBox(boxDialog(messageBoxLayout(MB_YESNOCANCEL))).id, IDCANCEL);
}

TEST(WindowMessageRules, KeysCarryWindowsBitsAndAHiddenWindowStaysInactiveWhateverTheOrder) {
    WindowMessages w;
    WindowRecord* window = reinterpret_cast<WindowRecord*>(&w);
    beginWindowMessages(w, window, 640, 480);
    KeyEvent escape = key(VK_ESCAPE);
    windowKey(w, escape);
    escape.repeat = true;
    windowKey(w, escape);
    escape.down = false;
    windowKey(w, escape);
    windowKey(w, key(0)); // no virtual key: no message
    Message m;
    const uint32_t types[] = {WM_KEYDOWN, WM_KEYDOWN, WM_KEYUP};
    const intptr_t bits[] = {0x1, 0x40000001, intptr_t(0xC0000001u)};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(takeWindowMessage(w, m));
        EXPECT_EQ(m.type, types[i]);
        EXPECT_EQ(m.wParam, uintptr_t(VK_ESCAPE));
        EXPECT_EQ(m.lParam, bits[i]);
    }
    EXPECT_FALSE(takeWindowMessage(w, m));

    // Hidden, then the focus comes and goes: every WM_ACTIVATE says minimised.
    windowFocus(w, true);
    EXPECT_TRUE(holdsScreenSaver(w));
    windowMinimised(w, true, 0, 0);
    windowFocus(w, false);
    windowFocus(w, true);
    windowResized(w, 300, 200); // no size while minimised
    EXPECT_FALSE(holdsScreenSaver(w));
    takeWindowMessage(w, m); // the first focus
    for (uint32_t type : {WM_ACTIVATE, WM_SIZE, WM_ACTIVATE, WM_ACTIVATE}) {
        ASSERT_TRUE(takeWindowMessage(w, m));
        EXPECT_EQ(m.type, type);
        EXPECT_EQ(type == WM_SIZE ? m.lParam : intptr_t(hiWord(m.wParam)), type == WM_SIZE ? 0 : 1);
    }
    EXPECT_FALSE(takeWindowMessage(w, m));
    // Shown again at a new size: active, and the size; the same size again sends nothing.
    windowMinimised(w, false, 800, 600);
    ASSERT_TRUE(takeWindowMessage(w, m));
    EXPECT_EQ(m.wParam, makeParam(WA_ACTIVE, 0));
    ASSERT_TRUE(takeWindowMessage(w, m));
    EXPECT_EQ(m.lParam, intptr_t(makeParam(800, 600)));
    windowResized(w, 800, 600);
    EXPECT_FALSE(takeWindowMessage(w, m));
    endWindowMessages(w);
    windowCloseRequested(w); // no window: nothing queued
    EXPECT_FALSE(takeWindowMessage(w, m));
}
