#include "splash/splash_window.h"

#include "platform/program_folder.h"

const char SPLASH_CLASS_NAME[] = "ZoQatSetupWnd";

namespace {

// Record sizes the window system is told, as on 32-bit Windows.
const UINT WINDOW_CLASS_SIZE = 48;
const int BITMAP_RECORD_SIZE = 24;
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(WNDCLASSEXA) == WINDOW_CLASS_SIZE, "WNDCLASSEXA is 48 bytes on 32-bit Windows");
static_assert(sizeof(BITMAP) == BITMAP_RECORD_SIZE, "BITMAP is 24 bytes on 32-bit Windows");
#endif

// The picture, loaded at the window's first message and kept until the
// process ends. Touched by the splash thread alone.
HBITMAP splashBitmap = nullptr;
int bitmapWidth = 0;
int bitmapHeight = 0;

// Tried at every message until a load succeeds. When it fails, the size
// query fails too and leaves the record as primed: the plain window's size.
void LoadPictureWhileMissing()
{
    if (splashBitmap != nullptr) return;
    splashBitmap = LoadSplashBitmap();
    BITMAP picture = {};
    picture.bmWidth = PLAIN_SPLASH_WIDTH;
    picture.bmHeight = PLAIN_SPLASH_HEIGHT;
    GetObjectA(splashBitmap, BITMAP_RECORD_SIZE, &picture);
    bitmapWidth = picture.bmWidth;
    bitmapHeight = picture.bmHeight;
}

void OnCreate(HWND window)
{
    FitSplashWindow(window, bitmapWidth, bitmapHeight);
}

void OnDestroy()
{
    PostQuitMessage(0);
}

// One block copy of the whole picture to the window's top left corner,
// whatever the update region; without a picture the same area turns white.
void PaintSplash(HWND window)
{
    PAINTSTRUCT paint;
    HDC screen = BeginPaint(window, &paint);
    HDC memory = CreateCompatibleDC(screen);
    SelectObject(memory, splashBitmap);
    BitBlt(screen, 0, 0, bitmapWidth, bitmapHeight, memory, 0, 0, splashBitmap != nullptr ? SRCCOPY : WHITENESS);
    DeleteDC(memory);
    EndPaint(window, &paint);
}

}  // namespace

void RegisterSplashClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass;
    windowClass.cbSize = WINDOW_CLASS_SIZE;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = SplashWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = nullptr;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr;  // never erased: the picture covers the window
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = SPLASH_CLASS_NAME;
    windowClass.hIconSm = nullptr;
    RegisterClassExA(&windowClass);
}

HWND CreateSplashWindow(HINSTANCE instance, int showCommand)
{
    HWND window = CreateWindowExA(0, SPLASH_CLASS_NAME, "", WS_POPUP, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, nullptr,
                                  nullptr, instance, nullptr);
    if (window == nullptr) return nullptr;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return window;
}

LRESULT CALLBACK SplashWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LoadPictureWhileMissing();
    switch (message) {
    case WM_CREATE: OnCreate(window); break;
    case WM_DESTROY: OnDestroy(); break;
    case WM_PAINT: PaintSplash(window); break;
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HBITMAP LoadSplashBitmap()
{
    char path[PATH_BUFFER_SIZE];
    LocateSplashBitmap(path);
    if (path[0] == '\0') return nullptr;
    return static_cast<HBITMAP>(LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
}

void LocateSplashBitmap(char* buffer)
{
    FileBesideProgram(buffer, "setup.bmp");
}

void FitSplashWindow(HWND window, int width, int height)
{
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER);
    CentreSplashWindow(window);
}

void CentreSplashWindow(HWND window)
{
    RECT desktop = {};
    RECT own = {};
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(window, &own);
    POINT origin = SplashOrigin(desktop, own);
    SetWindowPos(window, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER);
}

POINT SplashOrigin(const RECT& desktop, const RECT& window)
{
    LONG desktopWidth = desktop.right - desktop.left;
    LONG desktopHeight = desktop.bottom - desktop.top;
    LONG windowWidth = window.right - window.left;
    LONG windowHeight = window.bottom - window.top;
    POINT origin;
    origin.x = (desktopWidth - windowWidth) / 2;  // C++ division truncates toward zero
    origin.y = (desktopHeight - windowHeight) / 2;
    return origin;
}
