// Translation of SDL key codes into the virtual-key codes that key messages
// carry.
#pragma once

#include <cstdint>

// The virtual-key code for an SDL key code (SDL_Keycode), or 0 for a key that
// has none. Both shift keys give VK_SHIFT, both control keys VK_CONTROL and both
// Alt keys VK_MENU, as in key messages; the keypad's Enter gives VK_RETURN.
uint8_t VirtualKeyFromKeycode(int32_t keycode);
