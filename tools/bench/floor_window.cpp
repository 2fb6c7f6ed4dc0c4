// The floor of "start to visible window": a minimal Win32 program that shows
// a white pop-up window of 800 x 600 logical pixels (at the display scale, as
// the storefront's window is), sliding it in from the top as the storefront
// does (AnimateWindow 350 ms), and runs until it is closed. Started by
// tools/bench/main_window_bench.py in the same Wine as parvelle.exe.
#include <windows.h>

namespace {

LRESULT CALLBACK FloorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    SetProcessDPIAware();
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    const int width = MulDiv(800, dpi, 96);
    const int height = MulDiv(600, dpi, 96);

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = FloorProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"ParvelleFloorWindow";
    if (!RegisterClassW(&windowClass))
        return 1;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    HWND hwnd = CreateWindowExW(WS_EX_APPWINDOW, windowClass.lpszClassName, L"floor", WS_POPUP, x,
                                y, width, height, nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr)
        return 1;
    AnimateWindow(hwnd, 350, AW_SLIDE | AW_VER_POSITIVE);
    UpdateWindow(hwnd);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
