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
#include "skin/drawn_elements.h"
#include "skin/picture_cache.h"
#include "skin/frame_cache.h"
#include "skin/kept_backdrop.h"
#include "skin/paint_tools.h"
#include "store/store_state.h"

// The page's views; any other value paints the page plain white.
constexpr int kPurchaseView = 1;
constexpr int kPaidView = 2;

// Indices in both pages' element tables; the QR square follows them.
enum PayElement : int {
    kAlipayChoice = 0,
    kWeChatChoice = 1,
    kOfficialSiteTab = 2,
    kOpenLink = 3,  // the paid order's link
    kCopyLink = 4,
    kOpenHelp = 5,  // the package's help link
    kCopyHelp = 6,
    kPayElementCount = 7,                 // rows of a page's element table
    kQrSquareElement = kPayElementCount,  // added by Load, drawn by the page
};

// The payment methods both pages offer, in drawing order: the pay type sent
// with an order, the element of its choice, its name, and whether it is
// checked when a page starts. A choice's picture is a 32-pixel mark at the
// left of its element; the rest of the element is the brand's logo printed on
// the panel.
struct PayMethod {
    int payType;
    PayElement element;
    const wchar_t* name;
    bool checkedAtStart;
};
constexpr PayMethod kPayMethods[] = {
    {1, kAlipayChoice, L"支付宝", false},
    {2, kWeChatChoice, L"微信支付", true},
};
constexpr int kChoiceMarkWidth = 32;
// The pay methods' group: one keyboard stop, entered at the checked method;
// the arrow keys move between them.
constexpr int kPayMethodGroup = 1;

// What a click does.
enum class PayAction {
    None,
    OrderWithCheckedType,  // the QR square
    ChoosePayMethod,       // see PayTypeAt
    OpenShop,
    OpenLink,
    CopyLink,
    OpenHelp,
    CopyHelp,
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

    // Initialisation: the elements of the page's table (kPayElementCount
    // rows) with their pictures, in the variant for a display of `dpi`, and
    // the QR square, the methods checked at start. The page-sized pictures
    // come with the first paint (TakePictures).
    void Load(const SkinElementRecord* table, int backgroundId, const RECT& qrSquare,
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
    RECT qrRect{};
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

    // Switches the view and shows what it draws: the choices, the
    // official-site tab and the QR square in the purchase view, the Open and
    // Copy buttons in the paid view, nothing in any other view. Hover marks of
    // elements the new view does not draw are cleared so that they do not
    // reappear stale. With `page`, screen readers hear that the view changed.
    void SetView(int newView, HWND page = nullptr);

    // The pay type of the checked method.
    int CheckedPayType() const;
    // Checks the method of `payType` and unchecks the others.
    void Check(HWND page, int payType);

    // What a click at `p` does in the current view, and for ChoosePayMethod
    // the method's pay type (0 elsewhere).
    PayAction ActionAt(POINT p) const;
    int PayTypeAt(POINT p) const;

    // Deletes the QR file and creates an order for the package with
    // `payType`; the page is repainted either way, so that no QR code of a
    // replaced order stays on screen. The wait cursor shows meanwhile and
    // clicks made during the request are dropped.
    bool RequestOrder(HWND page, int payType);

    // --- mouse
    // Carries out a click released at `p` and returns what it was.
    PayAction OnClick(HWND page, POINT p);
    // Carries out a click on element `element` (its action), as OnClick.
    PayAction ClickElement(HWND page, int element);

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
    // The package's picture over the left 408 pixels and the panel at the
    // right edge.
    void DrawPurchaseBackdrop(Gdiplus::Graphics& graphics, int width, int height) const;
    // The choice marks, the official-site tab and the QR code read from the
    // QR file, or the placeholder while there is none.
    void DrawChoicesAndQr(Gdiplus::Graphics& graphics) const;
    // The whole paid view.
    void DrawPaidView(Gdiplus::Graphics& graphics, PaintTools& tools, int width, int height) const;

private:
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
