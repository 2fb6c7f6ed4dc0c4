#pragma once
// XDropWnd: the pop-up list of an XCommbox. Each item is one drawn row, 30
// logical pixels high: an element named with the item's text whose action is the
// item's index and whose value is the owner's, so hover marks, hit tests, the
// choice and the owner's values all read the same list. A click on a row or the pointer leaving the
// list is reported to `notifyHwnd` (the combo body) with a posted WM_COMBO_SELECT.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/afxwnd.h"  // before afxmsgmap.h: windowsx.h macros
#include "framework/afxmsgmap.h"
#include "skin/drawn_elements.h"
#include "skin/element_accessible.h"
#include "skin/focus_order.h"
#include "skin/skinned_window.h"

class XDropWnd : public CSkinnedWnd<CWnd> {
public:
    static constexpr int kRowHeight = 30;
    static constexpr std::uint32_t kLineArgb = 0xFFE6E6E6;  // border and separators

    XDropWnd() = default;

    // Appends an item: the text the list and the combo's edit show, and the
    // owner's value for it (a package id). Owners add items after the combo's
    // Create, which empties the list.
    void AddItem(const std::wstring& text, std::int32_t value);
    size_t ItemCount() const { return rows_.size(); }
    // Item `index`, which must exist.
    const std::wstring& ItemText(size_t index) const { return rows_[index].name; }
    std::int32_t ItemValue(size_t index) const { return rows_[index].value; }

    // Owner-side selection: marks item `index` selected and hovered and posts
    // it to `notifyHwnd` as a choice. An index out of range does nothing.
    void SelectIndex(int index);

    // The rows: hover 1 while the pointer is over one, or after a selection
    // by SelectIndex; rectangles follow the list's width.
    const DrawnElements& rows() const { return rows_; }

    // The keyboard's mark in the open list (its focused row, ringed while
    // focus cues show): set to the choice when the list opens, moved by the
    // arrow keys, chosen by Enter.
    void MarkRow(int index);
    void MoveMark(int step);
    // Chooses the marked row as a click does; false when none is marked.
    bool ChooseMarked();
    // Focus cues follow the combo's.
    void SetFocusCues(bool shown);

    // Keys reaching the open list (Windows activates it when it shows) are
    // the combo's: the walk up from here would pass its owner, the top-level
    // window, instead.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    std::uint32_t textArgb = 0xFF000000;
    std::uint32_t backArgb = 0xFF000000;
    const LOGFONTW* logFont = nullptr;  // the combo's font; null until its Create
    HWND notifyHwnd = nullptr;          // the combo body
    std::int32_t selectedIndex = -1;    // -1: nothing chosen

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnMouseLeave();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg LRESULT OnAccessibleAction(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSizeMessage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // The skinned window: the rows, composed at every paint; a pop-up
    // keeps the focus rules of a system list.
    DrawnElements& Elements() override { return rows_; }
    bool TakesElementFocus() const override { return false; }
    void Compose(OffscreenFrame& frame) override;

private:
    // What a click on `chosen` (null: on no row) does.
    void ChooseRow(const SkinElement* chosen);

    // Screen readers: a list of the items, the chosen one selected.
    LONG AccessibleRole() const override { return ROLE_SYSTEM_LIST; }
    void ListAccessibleNodes(std::vector<AccessibleNode>& nodes) const override;
    void DoAccessibleAction(int action) override;
    // The rows are the combo's: hidden with it, whatever this window shows.
    HWND AccessibleAnchor() const override { return notifyHwnd; }

    // The rows' rectangles across the list's width: laid out when items come
    // and when the list changes size, so hit tests never wait for a paint.
    void LayOutRows();
    void LayOutRow(size_t index, int width);
    int ListWidth() const;  // logical

    DrawnElements rows_;
};

// Posts WM_COMBO_SELECT (1, a copy of `text` issued through
// ComboChoicePosts()) to `target`, which redeems it; if the post fails the
// copy is freed here. False when nothing was posted.
bool PostComboChoice(HWND target, const std::wstring& text);
