// Linked into the sanitizer build's Wayland program only: libraries loaded at
// run time stay loaded until the process ends. Qt 6.4 loads its EGL buffer
// integration on Wayland to ask whether it may draw window decorations, and
// with it whatever GL driver the machine has (Mesa's swrast_dri.so here);
// both are unloaded at exit. What such a library still held then belongs to
// no module, so LeakSanitizer reports it as a leak "(<unknown module>)" that
// no suppression can name, on some machines and not others. Kept loaded,
// their globals are scanned as roots like any other library's, and a leak of
// the program's own code is still reported, with its whole stack.
#include <dlfcn.h>

extern "C" int dlclose(void* /*handle*/) noexcept { return 0; }
