#include "combo_fixture.h"

#include "dib_canvas.h"

BEGIN_MESSAGE_MAP(ComboTestParent, CWnd)
ON_WM_ERASEBKGND()
ON_MESSAGE(WM_COMBO_SELECT, &ComboTestParent::OnComboSelect)
END_MESSAGE_MAP()

ComboTestParent::ComboTestParent(int x, int y, int width, int height) {
    CreateEx(0, AfxRegisterWndClass(0, LoadCursorW(nullptr, IDC_ARROW)), L"combo test parent",
             WS_POPUP, x, y, width, height, nullptr, nullptr);
    // Not activated: under Wine without a window manager, hiding or destroying
    // an activated top-level window waits 2 s for the X server.
    ShowWindow(SW_SHOWNOACTIVATE);
    UpdateWindow();
}

BOOL ComboTestParent::OnEraseBkgnd(CDC* pDC) {
    RECT client;
    GetClientRect(&client);
    HBRUSH left = CreateSolidBrush(kLeftColour);
    HBRUSH right = CreateSolidBrush(kRightColour);
    FillRect(*pDC, &client, left);
    client.left = kSplitX;
    FillRect(*pDC, &client, right);
    DeleteObject(left);
    DeleteObject(right);
    return TRUE;
}

LRESULT ComboTestParent::OnComboSelect(WPARAM wParam, LPARAM lParam) {
    notices.push_back(
        ComboNotice{wParam, lParam, WindowText(combo.edit.m_hWnd), combo.dropWnd.selectedIndex});
    return 0;
}

std::wstring WindowText(HWND hwnd) {
    wchar_t buffer[256] = {};
    GetWindowTextW(hwnd, buffer, 256);
    return buffer;
}

void FillCombo(XCommbox& combo, int count, const std::wstring& prefix) {
    for (int i = 0; i < count; ++i) {
        combo.dropWnd.AddItem(prefix + std::to_wstring(i), 100 + i);
    }
}

Capture CaptureErase(HWND hwnd) {
    RECT client;
    GetClientRect(hwnd, &client);
    Capture capture;
    capture.width = client.right;
    capture.height = client.bottom;
    // Poison first: a handler that draws nothing shows up.
    capture.pixels = CaptureErasePaint(hwnd, capture.width, capture.height, 0x00FF00FFu);
    return capture;
}
