#pragma once
// A real top-level parent window for combo boxes: it paints a known two-colour
// background (split at kSplitX) and records every WM_COMBO_SELECT it gets,
// together with what its combo's edit showed at that moment.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "controls/xcommbox.h"
#include "framework/afxwnd.h"
#include "framework/afxmsgmap.h"
#include "pump.h"

struct ComboNotice {
    WPARAM wParam;
    LPARAM lParam;
    std::wstring editText;  // the combo's edit when the notice arrived
    int selectedIndex;
};

class ComboTestParent : public CWnd {
public:
    static constexpr COLORREF kLeftColour = RGB(0x20, 0x30, 0x40);
    static constexpr COLORREF kRightColour = RGB(0x50, 0x18, 0x18);
    static constexpr int kSplitX = 100;  // parent x where the right colour starts

    ComboTestParent(int x, int y, int width, int height);

    XCommbox combo;
    std::vector<ComboNotice> notices;

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnComboSelect(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

std::wstring WindowText(HWND hwnd);

// Appends items "<prefix>0", "<prefix>1"... with values 100, 101...
void FillCombo(XCommbox& combo, int count, const std::wstring& prefix = L"套餐");

// The window painted through its WM_ERASEBKGND handler into a 32-bit DIB of
// its client size: pixels 0x00RRGGBB, row by row from the top.
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
Capture CaptureErase(HWND hwnd);

constexpr std::uint32_t Rgb(COLORREF c) {
    return (static_cast<std::uint32_t>(GetRValue(c)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}
