#include "frontends/win32/Win32Runtime.h"

// The program has no command line: whatever it is given is ignored.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int showCommand)
{
    vantrel::Win32Runtime::Options options;
#ifdef VANTREL_FIXED_SEED
    // A test build: the colours of a seeded trace, and the show's length on stdout.
    options.seed = VANTREL_FIXED_SEED;
    options.reportPressToGreeting = true;
#endif
    return vantrel::RunProgram(instance, showCommand, options);
}
