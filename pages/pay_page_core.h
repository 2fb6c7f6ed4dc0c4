#pragma once
// What the two payment pages have in common: the seven picture elements and
// the pictures, the view, the package and the paid order's links; the mouse
// rules, the order request, the paid-order message and the paid view. Each
// page keeps one PayPageCore, forwards its messages to it and draws its own
// purchase view around the parts drawn here.
#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "pages/detail_box.h"
#include "skin/display_scale.h"
#include "skin/drawn_elements.h"
#include "skin/picture_cache.h"
#include "skin/frame_cache.h"
#include "skin/kept_backdrop.h"
#include "skin/paint_tools.h"
#include "store/store_state.h"

// The page's views; any other value paints the page plain white.
constexpr int kPurchaseView = 1;
constexpr int kPaidView = 2;

// The elements of a payment page, in list (and drawing) order: the rows of
// the page's own purchase-view table, then the paid-view rows both pages
// share. Each is its element's action and index.
enum PayElement : int {
    kAlipayChoice = 0,
    kWeChatChoice = 1,
    kOfficialSiteTab = 2,
    kQrSquareElement = 3,           // drawn by the page: the QR code or its placeholder
    kPurchaseRowCount = 4,          // rows of a page's purchase-view table
    kOpenLink = kPurchaseRowCount,  // the paid order's link
    kCopyLink,
    kOpenHelp,  // the package's help link
    kCopyHelp,
};

// The views' bits for the pages' element tables.
constexpr unsigned kPurchaseViewBit = ViewBit(kPurchaseView);
constexpr unsigned kPaidViewBit = ViewBit(kPaidView);

// The payment methods are the purchase tables' choices: a row of role Choice
// in this group, its value the pay type sent with an order, checked when the
// page starts if the row says so. A choice's picture is a 32-pixel mark at
// the left of its element; the rest of the element is the brand's logo
// printed on the panel. The group is one keyboard stop, entered at the
// checked method; the arrow keys move between them.
constexpr int kChoiceMarkWidth = 32;
constexpr int kPayMethodGroup = 1;

// The keyboard's order of the pages' stops: the pay methods, the QR square
// and the official site in the purchase view, Open and Copy of each row in
// the paid view.
enum PayFocusOrder : int {
    kPayMethodsStop = 1,
    kQrSquareStop,
    kOfficialSiteStop,
    kOpenLinkStop,
    kCopyLinkStop,
    kOpenHelpStop,
    kCopyHelpStop,
};

// The view an order opened from the history shows: its pay status + 1
// (unpaid: purchase view, paid: paid view; anything else is plain white).
int ViewOfOrder(int payStatus);

// A price in hundredths as the pages show it ("%0.2f" of price / 100).
std::wstring FormatPrice(int hundredths);

// The price line: the price in orange 13 pt bold in (x, y, 100, 20), right
// after its measured width the price before reduction in grey 8 pt, struck
// through at `strikeY`.
void DrawPriceLine(Gdiplus::Graphics& graphics, PaintTools& tools, float x, float y, float strikeY,
                   int price, int sourcePrice);

class PayPageCore {
public:
    PayPageCore() = default;
    PayPageCore(const PayPageCore&) = delete;
    PayPageCore& operator=(const PayPageCore&) = delete;

    // Initialisation: the elements of the page's purchase-view table and of
    // the shared paid-view table with their pictures, in the variant for a
    // display of `dpi`. The page-sized pictures come with the first paint
    // (TakePictures).
    void Load(const SkinElementRecord (&purchaseRows)[kPurchaseRowCount], int backgroundId,
              UINT dpi = 96);

    // --- state, in the pages' member order
    DrawnElements elements;
    // The pictures anew for a display of `dpi`.
    void LoadPictures(UINT dpi);

    // The page-sized pictures (and the QR placeholder), when the page does
    // not hold them: a page composes only while it shows.
    void TakePictures();
    // The page hides: its kept frame, its backdrops and its page-sized
    // pictures go (what a hidden page keeps is memory no one sees); the
    // first paint after it shows again composes it anew.
    void ReleaseUnseen(HWND page);

    int backgroundId = 0;
    SkinPicture background;  // the purchase view's panel
    SkinPicture paidBackground;
    RECT qrRect{};  // the QR square's element rectangle
    SkinPicture qrPlaceholder;
    int view = 0;
    OrderLinks paidLinks;
    // The package shown; shares the picture with the catalogue.
    const PackageRecord& package() const { return package_; }
    // Makes `record` the page's package (the page's pay status kept) and
    // marks the frame: the one way the package changes.
    void SetPackage(HWND page, const PackageRecord& record);
    DetailBox detailBox;  // the package's details as the purchase view draws them
    // The page as last composed: whatever changes the view, the package, the
    // choices or the QR code marks it (frame.Changed).
    FrameCache frame;

    // Switches the view and shows the elements whose views hold it (nothing
    // in any view but the purchase and the paid view). Hover marks are
    // cleared so that they do not reappear stale. With `page`, screen
    // readers hear that the view changed.
    void SetView(int newView, HWND page = nullptr);

    // The pay type of the checked method.
    int CheckedPayType() const;
    // Checks the method of `payType` and unchecks the others.
    void Check(HWND page, int payType);

    // The element a click at `p` reaches in the current view (-1: none), and
    // for a pay method its pay type (0 elsewhere).
    int ActionAt(POINT p) const;
    int PayTypeAt(POINT p) const;

    // Drops the QR code (file and kept picture) and creates an order for the
    // package with `payType`; the page is repainted either way, so that no QR
    // code of a replaced order stays on screen. The wait cursor shows
    // meanwhile and clicks made during the request are dropped.
    bool RequestOrder(HWND page, int payType);

    // --- mouse
    // Carries out a click released at `p` and returns the element it
    // reached (-1: none).
    int OnClick(HWND page, POINT p);
    // Carries out a click on element `element` (its action) while it shows:
    // a pay method checks it and orders with it, the QR square orders with
    // the checked method, the links open or are copied. False when the
    // element does not show.
    bool ClickElement(HWND page, int element);

    // --- WM_ORDER_PAID: the record, when this page is to act on it (wParam 1
    // and a record this process issued to `page`), redeemed and owned by the
    // returned pointer; null otherwise, and then no record is touched.
    static std::unique_ptr<OrderLinks> RedeemPaidOrder(HWND page, WPARAM wParam, LPARAM lParam);
    // Keeps the links and shows the paid view.
    void ShowPaidOrder(HWND page, const OrderLinks& links);
    // Makes the current product's package `packageId` the page's package
    // (its pay status kept) when it is another one, and returns its index;
    // -1, and nothing changed, when it is the page's package already or no
    // such package exists.
    int TakeCataloguePackage(HWND page, int packageId);

    // --- painting
    // Each draws on `graphics` in logical units at `scale`.
    // The package's picture over the left 408 pixels and the panel at the
    // right edge.
    void DrawPurchaseBackdrop(Gdiplus::Graphics& graphics, const DisplayScale& scale, int width,
                              int height) const;
    // The paid view's backdrop and texts.
    void DrawPaidView(Gdiplus::Graphics& graphics, PaintTools& tools, const DisplayScale& scale,
                      int width, int height) const;
    // The elements the view shows, over what the view drew: the pictures,
    // and in the QR square the current order's QR code as this process made
    // it (storeState.currentQr), or the placeholder while there is none.
    void DrawElements(Gdiplus::Graphics& graphics, const DisplayScale& scale) const;

private:
    // The QR square's own drawing, into `square`.
    void DrawQrSquare(Gdiplus::Graphics& graphics, const DisplayScale& scale,
                      const RECT& square) const;

    UINT dpi_ = 96;  // the display scale the pictures are for
    PackageRecord package_;
    // The three page-sized pictures as the frame's device pixels: kept
    // pixels, not state, so the const drawing keeps them up to date.
    mutable KeptBackdrop packageBackdrop_;
    mutable KeptBackdrop panelBackdrop_;
    mutable KeptBackdrop paidBackdrop_;
};

// The text colours the pages use.
constexpr Gdiplus::ARGB kTextArgb = 0xFF282D33;
constexpr Gdiplus::ARGB kGreyArgb = 0xFFC6CFD2;
constexpr Gdiplus::ARGB kBlueArgb = 0xFF1473E6;
constexpr Gdiplus::ARGB kOrangeArgb = 0xFFFF9933;
