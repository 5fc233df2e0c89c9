// The entry of the launcher built against the stand-in: arguments are not read.
#include "launcher/launcher.h"

int main()
{
    return RunLauncher(nullptr);
}
