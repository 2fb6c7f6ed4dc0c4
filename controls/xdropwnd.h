#pragma once
// XDropWnd: the pop-up list of an XCommbox. Rows are 30 pixels high; a click
// on a row or the pointer leaving the list is reported to `notifyHwnd` (the
// combo body) with a posted WM_COMBO_SELECT.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "controls/xcombo_item.h"
#include "framework/afxwnd.h"  // before afxmsgmap.h: windowsx.h macros
#include "framework/afxmsgmap.h"

class XDropWnd : public CWnd {
public:
    static constexpr int kRowHeight = 30;
    static constexpr std::uint32_t kLineArgb = 0xFFE6E6E6;  // border and separators

    XDropWnd() = default;

    // Owner-side selection: marks item `index` selected and hot and posts it to
    // `notifyHwnd` as a choice. An index out of range does nothing.
    void SelectIndex(int index);

    // Owners append items directly, after the combo's Create.
    std::vector<XComboItem> items;
    BYTE trackLeave = 1;
    std::uint32_t textArgb = 0xFF000000;
    std::uint32_t backArgb = 0xFF000000;
    const LOGFONTW* logFont = nullptr;  // the combo's font; null until its Create
    HWND notifyHwnd = nullptr;          // the combo body
    std::int32_t selectedIndex = -1;    // -1: nothing chosen

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    void InvalidateItem(const XComboItem& item);
    void PostChoice(const XComboItem& item) const;
    void Paint(HDC target);
};

// Posts WM_COMBO_SELECT (1, a copy of `text` issued through
// ComboChoicePosts()) to `target`, which redeems it; if the post fails the
// copy is freed here. False when nothing was posted.
bool PostComboChoice(HWND target, const std::wstring& text);
