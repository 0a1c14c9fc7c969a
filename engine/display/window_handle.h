// Opaque handles the engine hands between its objects: the window the display,
// sound and input devices bind to, and the program instance. Game code passes
// them along without looking inside.
#pragma once

struct SDL_Window;

using WindowHandle = SDL_Window*;
using InstanceHandle = void*;
