#pragma once
// What the two payment pages do alike, as a dialog base class: the backdrop
// and the view they paint, the pointer and click rules of their elements, the
// paid-order report and the key filter. Each page adds its template, its
// element table, the purchase view it draws and how it takes a package.
#include "framework/afxdialogex.h"
#include "framework/afxmsgmap.h"
#include "pages/pay_page_core.h"
#include "pages/switched_page.h"
#include "skin/element_accessible.h"
#include "skin/focus_order.h"
#include "skin/skinned_window.h"

class CPayPage : public CSwitchedDialogPage {
public:
    explicit CPayPage(UINT templateId) noexcept : CSwitchedDialogPage(templateId) {}

    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Shows `record` in `view` (see the pages' ShowPackage).
    virtual void ShowPackage(int view, const PackageRecord& record) = 0;

    // SwitchedPage. A payment page leaves by hiding at once.
    void OpenWith(int view, const PackageRecord* record) override;
    void Leave() override;
    // The window moved to a display of `dpi`: the pictures in the variant for
    // that scale, everything repainted.
    void ScaleChanged(UINT dpi) override;

    // Elements, pictures, view, paid links and the package (see PayPageCore).
    PayPageCore core;

    // The keyboard's stops in the current view, in the elements' focus order
    // (PayFocusOrder).
    void AppendFocusStops(std::vector<FocusStop>& stops) const override;

protected:
    // The purchase view's own backdrop, texts and price, on a frame drawing
    // at `scale`; the elements follow.
    virtual void DrawPurchaseView(Gdiplus::Graphics& graphics, PaintTools& tools,
                                  const DisplayScale& scale, int width, int height) = 0;
    // Called just before the paid view of an order made for package
    // `packageId` replaces the current view: the page takes that package, so
    // that the paid view names the package that was paid for.
    virtual void OnPaidOrderArrived(int packageId);

    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg LRESULT OnOrderPaid(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDestroyPage(WPARAM wParam, LPARAM lParam);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnWindowPosChanged(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // The skinned window: core's elements, composed into core's frame once
    // the pictures are loaded.
    DrawnElements& Elements() override { return core.elements; }
    FrameCache* Frame() override { return &core.frame; }
    bool CanCompose() const override { return core.background != nullptr; }
    void Compose(OffscreenFrame& frame) override;

private:
    // Screen readers: the elements of the current view.
    void ListAccessibleNodes(std::vector<AccessibleNode>& nodes) const override;
    void DoAccessibleAction(int action) override;
};
