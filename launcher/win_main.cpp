// The Windows entry: library loading is restricted to the system folder
// first, then the whole program is the launcher sequence.
#include "launcher/launcher.h"
#include "platform/library_search.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    RestrictLibrarySearch();
    return RunLauncher(instance);
}
