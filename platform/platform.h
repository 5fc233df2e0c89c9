#pragma once
// The Win32 calls the product uses. On Windows this is the real API; elsewhere
// it is our own stand-in (platform/standin), which keeps what the product
// relies on from each call and nothing more.
#ifdef _WIN32
#include <windows.h>
#else
#include "platform/standin/windows_standin.h"
#endif

#include "platform/paths.h"
