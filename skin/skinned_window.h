#pragma once
// CSkinnedWnd: what every skinned window does alike, in the manner of WTL's
// CDoubleBufferImpl. A window names its drawn elements and, when it keeps
// one, its frame, and composes its view; the base erases through the frame
// cache into Compose, gives mouse messages logical points, tracks hover and
// the keyboard focus on the elements and answers screen readers
// (WM_GETOBJECT) from the window's AccessibleSource side.
//
//   class CMyPage : public CSkinnedWnd<CDialogEx> {
//       DrawnElements& Elements() override { return elements; }
//       FrameCache* Frame() override { return &frame; }
//       void Compose(OffscreenFrame& f) override { elements.Draw(f.graphics()); }
//       void ListAccessibleNodes(std::vector<AccessibleNode>& nodes) const override;
//       void DoAccessibleAction(int action) override;
//   };
//
// The window's own message map comes first; an entry of its own for a
// message the base handles takes it over (and may call the base's handler).
#include <windows.h>

#include "framework/afxgdi.h"
#include "framework/afxwnd.h"  // before afxmsgmap.h: windowsx.h macros
#include "framework/afxmsgmap.h"
#include "skin/display_scale.h"
#include "skin/drawn_elements.h"
#include "skin/element_accessible.h"
#include "skin/focus_order.h"
#include "skin/frame_cache.h"
#include "skin/offscreen_frame.h"

template <class TBase>
class CSkinnedWnd : public TBase, protected AccessibleSource {
public:
    using TBase::TBase;

protected:
    // The elements that hover, the keyboard focus and screen readers follow.
    virtual DrawnElements& Elements() = 0;
    // The kept frame; null for a window composed at every paint (one that
    // shows what lies beneath it).
    virtual FrameCache* Frame() { return nullptr; }
    // Draws the view on `frame`: cleared to white, in logical units at the
    // window's scale (frame.scale()).
    virtual void Compose(OffscreenFrame& frame) = 0;
    // False while there is nothing to compose yet: erasing stays the base
    // window's.
    virtual bool CanCompose() const { return true; }
    // Whether the base answers the elements' focus messages (HandleElementFocus);
    // false for a window that keeps a system control's focus rules.
    virtual bool TakesElementFocus() const { return true; }

    afx_msg BOOL OnEraseBkgnd(CDC* pDC) {
        if (!CanCompose())
            return TBase::OnEraseBkgnd(pDC);
        const HWND hwnd = this->m_hWnd;
        auto compose = [this](OffscreenFrame& frame) { Compose(frame); };
        if (FrameCache* kept = Frame()) {
            kept->Paint(hwnd, pDC->GetSafeHdc(), compose);
        } else {
            OffscreenFrame once(hwnd, pDC->GetSafeHdc());
            compose(once);
        }
        return TRUE;
    }
    afx_msg void OnMouseMove(UINT nFlags, CPoint point) {
        Elements().OnMouseMove(this->m_hWnd, point);
        TBase::OnMouseMove(nFlags, point);
    }
    afx_msg void OnMouseLeave() { Elements().OnMouseLeave(this->m_hWnd); }
    afx_msg LRESULT OnGetObject(WPARAM wParam, LPARAM lParam) {
        return accessible.OnGetObject(this->m_hWnd, wParam, lParam);
    }

    CPoint MessageClientPoint(CPoint devicePoint) const override {
        return LogicalClientPoint(this->m_hWnd, devicePoint);
    }

    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
        typedef CSkinnedWnd ThisClass;
        if (TakesElementFocus() &&
            HandleElementFocus(this->m_hWnd, Elements(), accessible, message, wParam, pResult))
            return TRUE;
        ON_WM_ERASEBKGND()
        ON_WM_MOUSEMOVE()
        ON_WM_MOUSELEAVE()
        ON_MESSAGE(WM_GETOBJECT, &ThisClass::OnGetObject)
        if (message == WM_DESTROY)
            accessible.Disconnect();  // and the default processing follows
        return TBase::OnWndMsg(message, wParam, lParam, pResult);
    }

    AccessibleHost accessible{*this};
};
