#include "controls/xdropwnd.h"

#include <gdiplus.h>

#include <memory>

#include "skin/back_buffer.h"
#include "controls/combo_messages.h"

bool PostComboChoice(HWND target, const std::wstring& text) {
    if (target == nullptr || !IsWindow(target)) {
        return false;  // a null target would post to the thread queue and leak
    }
    return ComboChoicePosts().Post(target, WM_COMBO_SELECT, kComboChosen,
                                   std::make_unique<std::wstring>(text));
}

BEGIN_MESSAGE_MAP(XDropWnd, CWnd)
ON_WM_CREATE()
ON_WM_ERASEBKGND()
ON_WM_MOUSEMOVE()
ON_WM_MOUSELEAVE()
ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

int XDropWnd::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CWnd::OnCreate(lpCreateStruct) == -1) {
        return -1;
    }
    items.clear();
    return 0;
}

void XDropWnd::SelectIndex(int index) {
    if (index < 0 || static_cast<size_t>(index) >= items.size()) {
        return;
    }
    selectedIndex = index;
    XComboItem& item = items[static_cast<size_t>(index)];
    item.hot = 1;
    InvalidateItem(item);
    PostChoice(item);
}

void XDropWnd::InvalidateItem(const XComboItem& item) {
    // A null window handle would invalidate every window on the desktop.
    if (m_hWnd != nullptr) {
        InvalidateRect(&item.rect);
    }
}

void XDropWnd::PostChoice(const XComboItem& item) const {
    PostComboChoice(notifyHwnd, item.text);
}

BOOL XDropWnd::OnEraseBkgnd(CDC* pDC) {
    if (logFont == nullptr) {
        return FALSE;
    }
    Paint(pDC->GetSafeHdc());
    return TRUE;
}

void XDropWnd::Paint(HDC target) {
    BackBuffer buffer(m_hWnd, target);
    if (!buffer.ok()) {
        return;
    }
    const int w = buffer.width();
    const int h = buffer.height();
    {
        Gdiplus::Graphics g(buffer.dc());
        g.Clear(Gdiplus::Color(backArgb));
        Gdiplus::Font font(buffer.dc(), logFont);
        Gdiplus::StringFormat format;
        format.SetAlignment(Gdiplus::StringAlignmentNear);
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        Gdiplus::Pen line(Gdiplus::Color(kLineArgb), 1.0f);
        Gdiplus::SolidBrush textBrush{Gdiplus::Color(textArgb)};

        g.DrawRectangle(&line, 0, 0, w - 1, h - 1);
        for (size_t i = 0; i < items.size(); ++i) {
            const int top = static_cast<int>(i) * kRowHeight;
            const int bottom = top + kRowHeight;
            XComboItem& item = items[i];
            const Gdiplus::RectF layout(3.0f, static_cast<Gdiplus::REAL>(top),
                                        static_cast<Gdiplus::REAL>(w),
                                        static_cast<Gdiplus::REAL>(kRowHeight));
            g.DrawString(item.text.c_str(), static_cast<INT>(item.text.size()), &font, layout,
                         &format, &textBrush);
            g.DrawLine(&line, 0, bottom, w, bottom);
            SetRect(&item.rect, 0, top, w, bottom);
        }
        g.Flush(Gdiplus::FlushIntentionSync);
    }
    buffer.Present();
}

void XDropWnd::OnMouseMove(UINT nFlags, CPoint point) {
    if (trackLeave) {
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, m_hWnd, 0};
        ::TrackMouseEvent(&tme);
        trackLeave = 0;
    }
    for (XComboItem& item : items) {
        const std::int32_t hot = PtInRect(&item.rect, point) ? 1 : 0;
        if (hot != item.hot) {
            item.hot = hot;
            InvalidateItem(item);
        }
    }
    CWnd::OnMouseMove(nFlags, point);
}

void XDropWnd::OnLButtonDown(UINT nFlags, CPoint point) {
    for (size_t i = 0; i < items.size(); ++i) {
        XComboItem& item = items[i];
        if (PtInRect(&item.rect, point)) {
            PostChoice(item);
            selectedIndex = static_cast<std::int32_t>(i);
            item.hot = 0;
            InvalidateItem(item);
        } else if (item.hot == 1) {
            item.hot = 0;
            InvalidateItem(item);
        }
    }
    CWnd::OnLButtonDown(nFlags, point);
}

void XDropWnd::OnMouseLeave() {
    for (XComboItem& item : items) {
        if (item.hot) {
            item.hot = 0;
            InvalidateItem(item);
        }
    }
    if (notifyHwnd != nullptr) {
        ::PostMessageW(notifyHwnd, WM_COMBO_SELECT, kComboClose, 0);
    }
    trackLeave = 1;
    CWnd::OnMouseLeave();
}
