// Key events to Windows virtual-key codes: Escape = 27, 'A'..'Z', '0'..'9', F-keys, arrows and
// the few other keys a demo meets. 0 for a key that has no code here.
#pragma once
#include <cstdint>

// sdlKeycode is an SDL_Keycode.
int32_t virtualKeyFromSdl(int32_t sdlKeycode);
