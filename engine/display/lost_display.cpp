// EndProcessWhenDisplayIsLost: Xlib's I/O error handler, reached through the
// libX11 that SDL has already loaded.
#include "engine/display/lost_display.h"

#include <SDL.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// Xlib's handler types, with the Display kept opaque: the engine does not
// build against Xlib's headers nor link it.
using IoErrorHandler = int (*)(void* display);
using SetIoErrorHandler = IoErrorHandler (*)(IoErrorHandler handler);

void WriteAll(const char* text) {
    size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t written = write(STDERR_FILENO, text, left);
        if (written <= 0) {
            return;
        }
        text += written;
        left -= static_cast<size_t>(written);
    }
}

// Xlib's own handler prints and calls exit(1); the exit handlers then destroy
// the global window objects, whose SDL calls wait for replies from the dead
// server for ever (a hung process spinning a core). Xlib forbids returning
// from this handler, so the process ends here, with _exit: nothing that
// could touch the connection runs after it.
int DisplayLost(void*) {
    WriteAll(program_invocation_short_name);
    WriteAll(lostDisplayMessage);
    _exit(lostDisplayStatus);
}

}  // namespace

void EndProcessWhenDisplayIsLost() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "x11") != 0) {
        return;
    }
    // SDL loads libX11 at run time; RTLD_NOLOAD finds that copy, never another.
    void* xlib = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
    if (xlib == nullptr) {
        return;
    }
    auto setHandler = reinterpret_cast<SetIoErrorHandler>(dlsym(xlib, "XSetIOErrorHandler"));
    if (setHandler != nullptr) {
        setHandler(DisplayLost);
    }
    dlclose(xlib);
}
