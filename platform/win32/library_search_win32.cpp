#include "platform/library_search.h"

#include "platform/platform.h"

namespace {

// Resolved at run time: older systems lack the call, and importing it would
// keep the program from starting there.
typedef BOOL(WINAPI* SetDefaultDllDirectoriesCall)(DWORD flags);
typedef BOOL(WINAPI* SetDllDirectoryCall)(LPCSTR folder);

const DWORD SEARCH_SYSTEM32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

}  // namespace

int RestrictLibrarySearch()
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel == nullptr) return 0;
    SetDefaultDllDirectoriesCall setDefault = reinterpret_cast<SetDefaultDllDirectoriesCall>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault != nullptr && setDefault(SEARCH_SYSTEM32)) return 1;
    SetDllDirectoryCall setFolder = reinterpret_cast<SetDllDirectoryCall>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryA")));
    if (setFolder != nullptr) setFolder("");
    return 0;
}
