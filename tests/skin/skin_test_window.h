#pragma once
// A window on the skinned-window base as the program's windows use it: a
// title band with a caption, a line of body text and picture buttons, hover
// tracked by the base, composed at every paint.
#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <vector>

#include "pump.h"
#include "skin/drawn_elements.h"
#include "skin/skinned_window.h"

class SkinTestWindow : public CSkinnedWnd<CWnd> {
public:
    static constexpr Gdiplus::ARGB kTitleBand = 0xFF272E48;
    static constexpr int kTitleHeight = 24;

    SkinTestWindow(std::vector<SkinElement> elements, int width, int height,
                   const wchar_t* caption = L"测试窗口");
    ~SkinTestWindow() override;

    HWND hwnd() const { return m_hWnd; }
    DrawnElements& elements() { return elements_; }

    // Paints into a 32-bit DIB through WM_ERASEBKGND, as the window would paint
    // itself, and returns the pixels (0x00RRGGBB, row by row from the top).
    std::vector<std::uint32_t> Capture();

    int paints = 0;
    HDC lastMemoryDc = nullptr;    // the handles of the last paint's frame,
    HBITMAP lastBitmap = nullptr;  // gone once the paint has ended

protected:
    DrawnElements& Elements() override { return elements_; }
    void Compose(OffscreenFrame& frame) override;
    void ListAccessibleNodes(std::vector<AccessibleNode>& nodes) const override {
        AppendShownElements(elements_, nodes, m_hWnd);
    }
    void DoAccessibleAction(int) override {}

private:
    int width_;
    int height_;
    DrawnElements elements_;
    const wchar_t* caption_;
};
