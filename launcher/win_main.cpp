// The Windows entry: the whole program is the launcher sequence.
#include "launcher/launcher.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return RunLauncher(instance);
}
