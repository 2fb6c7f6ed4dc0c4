#pragma once
// A page of the main window as the page switcher sees it: a child window
// over the store front that opens with what it is to show, slides in, leaves,
// takes its place and scale, and lists its keyboard stops. The switcher
// knows its pages only through this, so the order of views can be followed
// without any window.
#include <windows.h>

#include <vector>

#include "framework/afxdialogex.h"
#include "skin/display_scale.h"
#include "skin/focus_order.h"
#include "skin/skinned_window.h"
#include "store/store_state.h"

class SwitchedPage {
public:
    virtual ~SwitchedPage() = default;

    // The page's window; null before it is made.
    virtual HWND PageHandle() const = 0;
    // Fills the page for its showing: a payment page takes `record` in
    // `view` (1: purchase; 3: the view of an order from the history), the
    // history fetches its first page (and takes no record).
    virtual void OpenWith(int view, const PackageRecord* record) = 0;
    // Enters from the right over what shows.
    virtual void SlideIn() = 0;
    // Goes from the screen, in the page's own way (the history slides out to
    // the right, a payment page hides at once).
    virtual void Leave() = 0;
    // At logical `rect` of the main window, for the window's current scale.
    virtual void LayOut(const RECT& rect) = 0;
    // The window moved to a display of `dpi`.
    virtual void ScaleChanged(UINT dpi) = 0;
    // The keyboard's stops of the page, in reading order.
    virtual void AppendFocusStops(std::vector<FocusStop>& stops) const = 0;
};

// How a page enters over the store front: from the right (AnimateWindow
// 300 ms, AW_SLIDE | AW_HOR_NEGATIVE); and how the history leaves, to the
// right.
void SlideWindowIn(HWND page);
void SlideWindowOut(HWND page);

// A skinned dialog page: the switcher's handle, slide-in and layout, which
// every page does alike.
class CSwitchedDialogPage : public CSkinnedWnd<CDialogEx>, public SwitchedPage {
public:
    explicit CSwitchedDialogPage(UINT templateId) noexcept : CSkinnedWnd(templateId) {}

    HWND PageHandle() const override { return m_hWnd; }
    void SlideIn() override { SlideWindowIn(m_hWnd); }
    void LayOut(const RECT& rect) override { MoveWindowLogical(m_hWnd, rect); }
};
