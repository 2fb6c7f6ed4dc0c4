#include "controls/xdropwnd.h"

#include <gdiplus.h>

#include <memory>
#include <utility>

#include "skin/back_buffer.h"
#include "skin/display_scale.h"
#include "skin/frame_cache.h"
#include "controls/combo_messages.h"

bool PostComboChoice(HWND target, const std::wstring& text) {
    if (target == nullptr || !IsWindow(target)) {
        return false;  // a null target would post to the thread queue and leak
    }
    return ComboChoicePosts().Post(target, WM_COMBO_SELECT, kComboChosen,
                                   std::make_unique<std::wstring>(text));
}

BEGIN_MESSAGE_MAP(XDropWnd, CSkinnedWnd<CWnd>)
ON_WM_CREATE()
ON_WM_ERASEBKGND()
ON_WM_MOUSELEAVE()
ON_WM_LBUTTONDOWN()
ON_MESSAGE(WM_ACCESSIBLE_ACTION, &XDropWnd::OnAccessibleAction)
ON_MESSAGE(WM_SIZE, &XDropWnd::OnSizeMessage)
END_MESSAGE_MAP()

int XDropWnd::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CWnd::OnCreate(lpCreateStruct) == -1) {
        return -1;
    }
    rows_.Clear(m_hWnd);
    return 0;
}

void XDropWnd::AddItem(const std::wstring& text, std::int32_t value) {
    SkinElement row;
    row.name = text;
    row.action = static_cast<int>(rows_.size());
    row.role = ElementRole::Choice;
    row.value = value;
    rows_.Add(m_hWnd, std::move(row));
    // Only the new row: a long list is laid out in one pass.
    LayOutRow(rows_.size() - 1, ListWidth());
}

int XDropWnd::ListWidth() const {
    return m_hWnd != nullptr ? LogicalClientRect(m_hWnd).right : 0;
}

void XDropWnd::LayOutRow(size_t index, int width) {
    const int top = rows_[index].action * kRowHeight;
    rows_.SetRect(m_hWnd, index, RECT{0, top, width, top + kRowHeight});
}

void XDropWnd::LayOutRows() {
    const int width = ListWidth();
    for (size_t i = 0; i < rows_.size(); ++i)
        LayOutRow(i, width);
}

LRESULT XDropWnd::OnSizeMessage(WPARAM, LPARAM) {
    LayOutRows();
    return Default();
}

void XDropWnd::SelectIndex(int index) {
    if (index < 0 || static_cast<size_t>(index) >= rows_.size()) {
        return;
    }
    selectedIndex = index;
    rows_.SetHover(m_hWnd, static_cast<size_t>(index), 1);
    PostComboChoice(notifyHwnd, rows_[static_cast<size_t>(index)].name);
}

BOOL XDropWnd::OnEraseBkgnd(CDC* pDC) {
    if (logFont == nullptr) {
        return FALSE;
    }
    return CSkinnedWnd::OnEraseBkgnd(pDC);
}

void XDropWnd::Compose(OffscreenFrame& frame) {
    if (!frame.buffered()) {
        return;
    }
    const int w = frame.width();
    const int h = frame.height();
    Gdiplus::Graphics& g = frame.graphics();
    g.Clear(Gdiplus::Color(backArgb));
    // The font, made from a LOGFONT, is in world units: it scales too.
    Gdiplus::Font font(frame.memoryDc(), logFont);
    Gdiplus::StringFormat format;
    format.SetAlignment(Gdiplus::StringAlignmentNear);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    Gdiplus::Pen line(Gdiplus::Color(kLineArgb), 1.0f);
    Gdiplus::SolidBrush textBrush{Gdiplus::Color(textArgb)};

    g.DrawRectangle(&line, 0, 0, w - 1, h - 1);
    // The hover mark is not drawn: the list shows no highlight.
    rows_.Draw(g, [&](Gdiplus::Graphics& graphics, const SkinElement& row) {
        const Gdiplus::RectF layout(3.0f, static_cast<Gdiplus::REAL>(row.rect.top),
                                    static_cast<Gdiplus::REAL>(w),
                                    static_cast<Gdiplus::REAL>(kRowHeight));
        graphics.DrawString(row.name.c_str(), static_cast<INT>(row.name.size()), &font, layout,
                            &format, &textBrush);
        graphics.DrawLine(&line, 0, row.rect.bottom, w, row.rect.bottom);
    });
    rows_.DrawFocusRing(g, frame.scale(), true);
}

void XDropWnd::OnLButtonDown(UINT nFlags, CPoint point) {
    ChooseRow(rows_.At(point));
    CWnd::OnLButtonDown(nFlags, point);
}

void XDropWnd::ChooseRow(const SkinElement* chosen) {
    if (chosen != nullptr) {
        PostComboChoice(notifyHwnd, chosen->name);
        selectedIndex = chosen->action;
    }
    // The chosen row's mark goes too: the list closes on the choice.
    rows_.SetFocused(m_hWnd, -1);
    for (size_t i = 0; i < rows_.size(); ++i)
        rows_.SetHover(m_hWnd, i, 0);
}

void XDropWnd::ListAccessibleNodes(std::vector<AccessibleNode>& nodes) const {
    for (const SkinElement& row : rows_) {
        AccessibleNode item = ElementNode(row);
        item.role = ROLE_SYSTEM_LISTITEM;
        item.state = STATE_SYSTEM_SELECTABLE;
        if (row.action == selectedIndex)
            item.state |= STATE_SYSTEM_SELECTED;
        item.defaultAction = L"选择";
        nodes.push_back(std::move(item));
    }
}

void XDropWnd::DoAccessibleAction(int action) {
    const int index = rows_.IndexOf(action);
    if (index >= 0)
        ChooseRow(&rows_[static_cast<size_t>(index)]);
}

void XDropWnd::OnMouseLeave() {
    rows_.OnMouseLeave(m_hWnd);
    if (notifyHwnd != nullptr) {
        ::PostMessageW(notifyHwnd, WM_COMBO_SELECT, kComboClose, 0);
    }
    CWnd::OnMouseLeave();
}

LRESULT XDropWnd::OnAccessibleAction(WPARAM wParam, LPARAM) {
    accessible.RunPostedAction(m_hWnd, wParam);
    return 0;
}

void XDropWnd::MarkRow(int index) {
    if (index < 0 || static_cast<size_t>(index) >= rows_.size())
        index = rows_.empty() ? -1 : 0;
    rows_.SetFocused(m_hWnd, index);
}

void XDropWnd::MoveMark(int step) {
    const int count = static_cast<int>(rows_.size());
    if (count == 0)
        return;
    const int from = rows_.focused() >= 0 ? rows_.focused() : selectedIndex;
    int to = from < 0 ? 0 : from + step;
    to = to < 0 ? 0 : (to >= count ? count - 1 : to);
    rows_.SetFocused(m_hWnd, to);
}

bool XDropWnd::ChooseMarked() {
    const int marked = rows_.focused();
    if (marked < 0 || static_cast<size_t>(marked) >= rows_.size())
        return false;
    ChooseRow(&rows_[static_cast<size_t>(marked)]);
    return true;
}

void XDropWnd::SetFocusCues(bool shown) {
    rows_.OnUpdateUiState(m_hWnd, MAKEWPARAM(shown ? UIS_CLEAR : UIS_SET, UISF_HIDEFOCUS));
}

BOOL XDropWnd::PreTranslateMessage(MSG* pMsg) {
    CWnd* combo = notifyHwnd != nullptr ? CWnd::FromHandlePermanent(notifyHwnd) : nullptr;
    return combo != nullptr ? combo->PreTranslateMessage(pMsg) : FALSE;
}
