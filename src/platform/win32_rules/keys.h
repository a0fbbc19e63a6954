// A key as a window system that is not Win32 reports it, in neutral terms, and the Win32
// virtual-key codes the rules below need. Every backend maps its own key codes to these.
#pragma once
#include <cstdint>

constexpr int32_t VK_TAB = 0x09;
constexpr int32_t VK_RETURN = 0x0D;
constexpr int32_t VK_ESCAPE = 0x1B;
constexpr int32_t VK_SPACE = 0x20;
constexpr int32_t VK_LEFT = 0x25;
constexpr int32_t VK_UP = 0x26;
constexpr int32_t VK_RIGHT = 0x27;
constexpr int32_t VK_DOWN = 0x28;
constexpr int32_t VK_F4 = 0x73;

struct KeyEvent {
    bool down = true;
    bool repeat = false;      // the system's auto-repeat of a held key
    int32_t virtualKey = 0;   // the Windows virtual-key code the key stands for; 0: none
    uint32_t character = 0;   // what the key types in the viewer's layout (Unicode); 0: nothing
    uint32_t placeLetter = 0; // 'A'..'Z' or '0'..'9' of the key's place on a US keyboard; 0
    bool alt = false, ctrl = false, shift = false, meta = false;
};

// The mnemonic of a control text ("&Window": 'W'), upper case; 0 for none ("&&" is a plain &).
uint32_t textMnemonic(const char* text);
// The letter a key stands for as a mnemonic: the character it types in the viewer's layout
// (the key marked Y answers "&Yes" on a German keyboard too), or, where that is no letter or
// digit (Alt+N types a dead key on a Mac), its place on a US keyboard. Upper case; 0 for none.
uint32_t keyMnemonic(const KeyEvent& key);
