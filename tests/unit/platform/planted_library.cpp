// A library an attacker would plant beside the launcher.
extern "C" __declspec(dllexport) int PlantedLibraryMarker()
{
    return 42;
}
