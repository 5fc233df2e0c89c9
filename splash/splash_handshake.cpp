#include "splash/splash.h"

#include "splash/splash_window.h"

#include <new>
#include <stdlib.h>

DWORD splashReadyWait = SPLASH_READY_WAIT;

void ReleaseSplashHandshake(SplashHandshake* handshake)
{
    if (handshake->holders.fetch_sub(1) != 1) return;
    HANDLE readyEvent = handshake->readyEvent;
    handshake->~SplashHandshake();
    free(handshake);
    if (readyEvent != nullptr) CloseHandle(readyEvent);
}

HWND ShowSplash(HINSTANCE instance, int showCommand)
{
    // malloc, not new: the launcher carries no exception support.
    void* memory = malloc(sizeof(SplashHandshake));
    if (memory == nullptr) return nullptr;
    SplashHandshake* handshake = new (memory) SplashHandshake;
    handshake->readyEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    handshake->instance = instance;
    handshake->showCommand = showCommand;
    handshake->window.store(nullptr);
    handshake->holders.store(2);

    // The thread's handle is not kept; nothing waits for the thread to end.
    DWORD threadId = 0;
    if (CreateThread(nullptr, 0, SplashThread, handshake, 0, &threadId) == nullptr) {
        ReleaseSplashHandshake(handshake);  // the share of the thread that never ran
    }

    WaitForSingleObject(handshake->readyEvent, splashReadyWait);
    HWND window = handshake->window.load();
    ReleaseSplashHandshake(handshake);
    return window;
}

DWORD WINAPI SplashThread(void* parameter)
{
    SplashHandshake* handshake = static_cast<SplashHandshake*>(parameter);
    RegisterSplashClass(handshake->instance);
    HWND window = CreateSplashWindow(handshake->instance, handshake->showCommand);
    handshake->window.store(window);
    SetEvent(handshake->readyEvent);
    ReleaseSplashHandshake(handshake);
    if (window == nullptr) return 0;

    MSG message;
    // 0 at WM_QUIT; -1 (an error) ends the loop as well.
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
