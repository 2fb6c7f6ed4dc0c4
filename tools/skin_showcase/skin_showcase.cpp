// Shows the skin's artwork in one 800 x 600 window: every two-frame picture
// twice (normal, then hovered or chosen) and the one-frame pictures scaled
// down, painted through the off-screen frame with live hover tracking.
//   skin_showcase [seconds]   closes by itself after `seconds` (default 60)
#include <windows.h>
#include <windowsx.h>

#include <cwchar>
#include <memory>
#include <vector>

#include "skin/gdiplus_session.h"
#include "skin/drawn_elements.h"
#include "skin/offscreen_frame.h"
#include "skin/png_resource.h"
#include "skin/skin_element.h"

namespace {

// Each picture twice: the first copy normal, the second with its byte set.
const SkinElementRecord kPairs[] = {
    {164, 581, 0, 645, 24},    {166, 656, 0, 720, 24},    {134, 740, 0, 764, 24},
    {133, 770, 0, 794, 24},    {163, 20, 40, 240, 120},   {163, 260, 40, 480, 120},
    {165, 500, 40, 532, 100},  {165, 540, 40, 572, 100},  {171, 600, 50, 648, 74},
    {171, 600, 84, 648, 108},  {172, 660, 50, 708, 74},   {172, 660, 84, 708, 108},
    {175, 730, 50, 762, 82},   {175, 730, 90, 762, 122},  {176, 20, 140, 68, 164},
    {176, 80, 140, 128, 164},  {177, 150, 140, 222, 164}, {177, 240, 140, 312, 164},
    {162, 340, 142, 360, 162}, {162, 380, 142, 400, 162},
};

struct Still {
    int id;
    RECT rect;
};
const Still kStills[] = {
    {174, {430, 130, 574, 274}},  // QR placeholder, full size
    {169, {20, 180, 200, 468}},   // payment panel, half size
    {179, {220, 180, 400, 468}},  // second payment panel, half size
    {173, {430, 290, 697, 482}},  // paid view, a third
    {167, {0, 520, 800, 560}},    // bottom strip
};

struct Showcase {
    DrawnElements elements;
    std::vector<std::unique_ptr<Gdiplus::Image>> stills;
};
Showcase* g_showcase = nullptr;

void Paint(HWND hwnd, HDC dc) {
    OffscreenFrame frame(hwnd, dc);
    Gdiplus::Graphics& g = frame.graphics();
    PaintTools& tools = frame.tools();
    g.FillRectangle(&tools.Brush(0xFF272E48), 0, 0, frame.width(), 24);
    tools.DrawText(g, L"Parvelle 皮肤预览：左为常态，右为悬停/选中", Gdiplus::RectF(80, 0, 480, 24),
                   tools.Font(9, Gdiplus::FontStyleBold), tools.CentredFormat(), 0xFFF6F6F6);
    for (size_t i = 0; i < std::size(kStills); ++i) {
        const RECT& r = kStills[i].rect;
        if (Gdiplus::Image* picture = g_showcase->stills[i].get()) {
            g.DrawImage(picture, Gdiplus::Rect(r.left, r.top, r.right - r.left, r.bottom - r.top));
        }
    }
    tools.DrawText(g, L"版本：专业版  价格：99.00", Gdiplus::RectF(20, 570, 400, 24),
                   tools.Font(10), tools.NearFormat(), 0xFF282D33);
    g_showcase->elements.Draw(g);
}

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_ERASEBKGND:
            Paint(hwnd, reinterpret_cast<HDC>(wparam));
            return 1;
        case WM_MOUSEMOVE:
            g_showcase->elements.OnMouseMove(hwnd,
                                             POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
            break;
        case WM_MOUSELEAVE:
            g_showcase->elements.OnMouseLeave(hwnd);
            return 0;
        case WM_TIMER:
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR args, int) {
    GdiplusSession gdiplus;
    Showcase showcase;
    g_showcase = &showcase;
    // Only the first copy of each pair follows the pointer; the second shows
    // the other frame for good.
    std::vector<SkinElement> pairs = BuildSkinElements(kPairs);
    for (size_t i = 1; i < pairs.size(); i += 2) {
        pairs[i].hover = 1;
        pairs[i].followsPointer = false;
    }
    showcase.elements = DrawnElements(std::move(pairs));
    for (const Still& still : kStills)
        showcase.stills.emplace_back(LoadPngResource(still.id));

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(128));
    wc.lpszClassName = L"ParvelleSkinShowcase";
    RegisterClassExW(&wc);
    HWND hwnd = CreateWindowExW(WS_EX_APPWINDOW, wc.lpszClassName, L"Parvelle skin", WS_POPUP, 0, 0,
                                800, 600, nullptr, nullptr, instance, nullptr);
    const long seconds = args && *args ? std::wcstol(args, nullptr, 10) : 60;
    SetTimer(hwnd, 1, static_cast<UINT>(seconds > 0 ? seconds : 60) * 1000, nullptr);
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
