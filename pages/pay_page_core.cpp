#include "pages/pay_page_core.h"

#include <algorithm>
#include <climits>
#include <cwchar>
#include <iterator>

#include "config/local_config.h"
#include "pages/blocking_request.h"
#include "pages/page_messages.h"
#include "skin/display_scale.h"
#include "skin/element_accessible.h"
#include "skin/picture_cache.h"
#include "store/deferred_picture.h"
#include "store/json_read.h"
#include "store/link_handoff.h"
#include "store/order_watch.h"
#include "store/orders.h"
#include "store/qr_bitmap.h"
#include "resource.h"

namespace {

constexpr int kPackagePictureWidth = 408;
constexpr int kPanelWidth = 360;

// The paid view's rows, the same on both pages: Open and Copy of the paid
// order's link, then of the package's help link.
const SkinElementRecord kPaidViewRows[] = {
    {IDP_OPEN, 508, 216, 556, 240, L"打开", ElementRole::Link, kPaidViewBit, kOpenLinkStop},
    {IDP_COPY, 573, 216, 621, 240, L"复制", ElementRole::PushButton, kPaidViewBit, kCopyLinkStop},
    {IDP_OPEN, 508, 265, 556, 289, L"打开", ElementRole::Link, kPaidViewBit, kOpenHelpStop},
    {IDP_COPY, 573, 265, 621, 289, L"复制", ElementRole::PushButton, kPaidViewBit, kCopyHelpStop},
};

Gdiplus::RectF RectOf(const RECT& r) {
    return Gdiplus::RectF(static_cast<Gdiplus::REAL>(r.left), static_cast<Gdiplus::REAL>(r.top),
                          static_cast<Gdiplus::REAL>(r.right - r.left),
                          static_cast<Gdiplus::REAL>(r.bottom - r.top));
}

float MeasuredWidth(Gdiplus::Graphics& graphics, const std::wstring& text, Gdiplus::Font& font,
                    const Gdiplus::RectF& layout) {
    Gdiplus::RectF box;
    if (graphics.MeasureString(text.c_str(), -1, &font, layout, &box) != Gdiplus::Ok)
        return 0.0f;
    return box.Width;
}

// The QR picture, nearest neighbour so that modules keep hard edges. On a
// scaled frame every module gets the same whole number of device pixels (the
// code centred in its square) wherever the square has room for one per module.
void DrawQrPicture(Gdiplus::Graphics& graphics, const DisplayScale& scale, Gdiplus::Image& qr,
                   const RECT& square) {
    const Gdiplus::InterpolationMode mode = graphics.GetInterpolationMode();
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    const RECT device = scale.ToDevice(square);
    const int side = std::min(device.right - device.left, device.bottom - device.top);
    const int modules = static_cast<int>(qr.GetWidth()) / kQrModulePixels;
    const int each = WholePixelsPerModule(side, modules);
    if (scale.identity() || each == 0) {
        graphics.DrawImage(&qr, RectOf(square));
    } else {
        const int drawn = each * modules;
        const int inset = (side - drawn) / 2;
        DeviceSpace pixels(graphics);
        const Gdiplus::PixelOffsetMode offset = graphics.GetPixelOffsetMode();
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        graphics.DrawImage(
            &qr, Gdiplus::Rect(device.left + inset, device.top + inset, drawn, drawn), 0, 0,
            modules * kQrModulePixels, modules * kQrModulePixels, Gdiplus::UnitPixel);
        graphics.SetPixelOffsetMode(offset);
    }
    graphics.SetInterpolationMode(mode);
}

void ShowCopied(HWND page) {
    ::MessageBoxW(page, L"复制成功", L"", MB_OK);
}

}  // namespace

int ViewOfOrder(int payStatus) {
    return payStatus < INT_MAX ? payStatus + 1 : 0;
}

std::wstring FormatPrice(int hundredths) {
    // Room for any 32-bit value: "-21474836.48" and the terminator.
    wchar_t text[32] = {};
    std::swprintf(text, sizeof text / sizeof text[0], L"%0.2f", hundredths / 100.0);
    return text;
}

void DrawPriceLine(Gdiplus::Graphics& graphics, PaintTools& tools, float x, float y, float strikeY,
                   int price, int sourcePrice) {
    Gdiplus::Font& priceFont = tools.Font(13, Gdiplus::FontStyleBold);
    Gdiplus::Font& sourceFont = tools.Font(8);
    const std::wstring priceText = FormatPrice(price);
    const std::wstring sourceText = FormatPrice(sourcePrice);

    const Gdiplus::RectF priceBox(x, y, 100, 20);
    const float w1 = MeasuredWidth(graphics, priceText, priceFont, priceBox);
    const Gdiplus::RectF sourceBox(x + w1, y, 100, 20);
    const float w2 = MeasuredWidth(graphics, sourceText, sourceFont, sourceBox);

    tools.DrawText(graphics, priceText.c_str(), priceBox, priceFont, tools.NearFormat(),
                   kOrangeArgb);
    tools.DrawText(graphics, sourceText.c_str(), sourceBox, sourceFont, tools.NearFormat(),
                   kGreyArgb);
    graphics.DrawLine(&tools.Pen(kGreyArgb), x + w1 + 3, strikeY, x + w1 + w2 - 3, strikeY);
}

void PayPageCore::Load(const SkinElementRecord (&purchaseRows)[kPurchaseRowCount], int backgroundId,
                       UINT dpi) {
    this->backgroundId = backgroundId;
    dpi_ = dpi;
    std::vector<SkinElement> list = BuildSkinElements(purchaseRows, kPurchaseRowCount, dpi);
    std::vector<SkinElement> paid =
        BuildSkinElements(kPaidViewRows, std::size(kPaidViewRows), dpi, kPurchaseRowCount);
    std::move(paid.begin(), paid.end(), std::back_inserter(list));
    qrRect = list[kQrSquareElement].rect;
    elements = DrawnElements(std::move(list));
    SetView(view);
}

void PayPageCore::LoadPictures(UINT dpi) {
    dpi_ = dpi;
    const bool held = background != nullptr;
    background.reset();
    paidBackground.reset();
    qrPlaceholder.reset();
    if (held)
        TakePictures();
    elements.LoadPictures(dpi);
}

void PayPageCore::TakePictures() {
    if (backgroundId == 0 || background)
        return;
    background = SharedPngResource(backgroundId, dpi_);
    paidBackground = SharedPngResource(IDP_PAID_VIEW, dpi_);
    qrPlaceholder = SharedPngResource(IDP_QR_PLACEHOLDER, dpi_);
}

void PayPageCore::ReleaseUnseen(HWND page) {
    ReleaseFramesOf(page);
    packageBackdrop_.Release();
    if (package_.packageImage)
        package_.packageImage->ReleaseScaled();
    panelBackdrop_.Release();
    paidBackdrop_.Release();
    background.reset();
    paidBackground.reset();
    qrPlaceholder.reset();
}

void PayPageCore::SetView(int newView, HWND page) {
    const bool changed = newView != view;
    view = newView;
    for (size_t i = 0; i < elements.size(); ++i) {
        if (elements[i].followsPointer)
            elements.SetHover(page, i, 0);
    }
    elements.ShowView(page, view);
    frame.Changed(page);
    if (page != nullptr && changed)
        NotifyViewChanged(page);
}

int PayPageCore::CheckedPayType() const {
    return elements.ChosenValue(kPayMethodGroup);
}

void PayPageCore::Check(HWND page, int payType) {
    elements.Choose(page, kPayMethodGroup, payType, [this, page](size_t index) {
        NotifyChildStateChanged(page, ShownElementChildId(elements, index));
    });
}

int PayPageCore::ActionAt(POINT p) const {
    return elements.ActionAt(p);
}

int PayPageCore::PayTypeAt(POINT p) const {
    const SkinElement* element = elements.At(p);
    return element != nullptr && element->group == kPayMethodGroup ? element->value : 0;
}

bool PayPageCore::RequestOrder(HWND page, int payType) {
    DiscardOrderQr();
    bool created = false;
    {
        BlockingRequest wait;
        created = CreateOrder(page, payType, package_.id, mobileNumber);
    }
    // Also after a failure: the old order's QR code is gone and must not stay
    // on screen to be paid while nothing watches that order any more.
    frame.Changed(page);
    return created;
}

int PayPageCore::OnClick(HWND page, POINT p) {
    const SkinElement* element = elements.At(p);
    if (element == nullptr)
        return -1;
    const int action = element->action;
    ClickElement(page, action);
    return action;
}

bool PayPageCore::ClickElement(HWND page, int element) {
    const int index = elements.IndexOf(element);
    if (index < 0 || !elements[static_cast<size_t>(index)].shown)
        return false;
    if (elements[static_cast<size_t>(index)].group == kPayMethodGroup) {
        const int payType = elements[static_cast<size_t>(index)].value;
        Check(page, payType);
        RequestOrder(page, payType);
        return true;
    }
    switch (element) {
        case kQrSquareElement:
            RequestOrder(page, CheckedPayType());
            break;
        case kOfficialSiteTab:
            if (!storeState.products.empty())
                OpenUrlInShell(storeState.products.front().shopUrl);
            break;
        case kOpenLink:
            OpenUrlInShell(paidLinks.linkUrl);
            break;
        case kCopyLink:
            if (CopyTextToClipboard(Utf8ToWide(paidLinks.linkUrl)))
                ShowCopied(page);
            break;
        case kOpenHelp:
            OpenUrlInShellW(package_.helpLinkUrl);
            break;
        case kCopyHelp:
            if (CopyTextToClipboard(package_.helpLinkUrl))
                ShowCopied(page);
            break;
        default:
            break;
    }
    return true;
}

std::unique_ptr<OrderLinks> PayPageCore::RedeemPaidOrder(HWND page, WPARAM wParam, LPARAM lParam) {
    // Checked before redeeming: a message that is not the watch's must leave
    // the record it names outstanding for the watch's own message.
    if (wParam != 1)
        return nullptr;
    return PaidOrderPosts().Redeem(page, lParam);
}

void PayPageCore::ShowPaidOrder(HWND page, const OrderLinks& links) {
    paidLinks = links;
    SetView(kPaidView, page);
    // The outcome a user waits for: read out at once.
    NotifyAlert(page);
}

void PayPageCore::SetPackage(HWND page, const PackageRecord& record) {
    const int payStatus = package_.payStatus;
    package_ = record;
    package_.payStatus = payStatus;
    frame.Changed(page);
}

int PayPageCore::TakeCataloguePackage(HWND page, int packageId) {
    if (packageId == package_.id || storeState.products.empty())
        return -1;
    const std::vector<PackageRecord>& packages = storeState.products.front().packages;
    for (size_t i = 0; i < packages.size(); ++i) {
        if (packages[i].id == packageId) {
            SetPackage(page, packages[i]);
            return static_cast<int>(i);
        }
    }
    return -1;
}

void PayPageCore::DrawPurchaseBackdrop(Gdiplus::Graphics& graphics, const DisplayScale& scale,
                                       int width, int height) const {
    if (package_.packageImage) {
        // Kept at the device pixels it covers, so each compose copies it.
        const RECT device = scale.ToDevice(RECT{0, 0, kPackagePictureWidth, height});
        if (const std::shared_ptr<Gdiplus::Image> picture = package_.packageImage->At(
                static_cast<UINT>(std::max(0L, device.right - device.left)),
                static_cast<UINT>(std::max(0L, device.bottom - device.top))))
            packageBackdrop_.Draw(graphics, scale, picture,
                                  RECT{0, 0, kPackagePictureWidth, height});
    }
    if (background)
        panelBackdrop_.Draw(graphics, scale, background,
                            RECT{width - kPanelWidth, 0, width, height});
}

void PayPageCore::DrawPaidView(Gdiplus::Graphics& graphics, PaintTools& tools,
                               const DisplayScale& scale, int width, int height) const {
    paidBackdrop_.Draw(graphics, scale, paidBackground, RECT{0, 0, width, height});
    Gdiplus::Font& font = tools.Font(9);
    tools.DrawText(graphics, package_.name.c_str(), Gdiplus::RectF(94, 216, 400, 24), font,
                   tools.CentredFormat(), kTextArgb);
    tools.DrawText(graphics, package_.helpTitle.c_str(), Gdiplus::RectF(94, 265, 400, 24), font,
                   tools.CentredFormat(), kTextArgb);
}

void PayPageCore::DrawElements(Gdiplus::Graphics& graphics, const DisplayScale& scale) const {
    elements.Draw(graphics, [this, &scale](Gdiplus::Graphics& g, const SkinElement& element) {
        if (element.action == kQrSquareElement)
            DrawQrSquare(g, scale, element.rect);
    });
}

void PayPageCore::DrawQrSquare(Gdiplus::Graphics& graphics, const DisplayScale& scale,
                               const RECT& square) const {
    // The code this process made for its order, from memory: the file beside
    // it may have been replaced by anyone who can write its folder.
    const QrPicture& code = storeState.currentQr;
    if (!code.empty()) {
        // The kept pixels as they are, not copied: the picture lives for this
        // paint only.
        Gdiplus::Bitmap qr(code.side, code.side, code.stride(), PixelFormat24bppRGB,
                           const_cast<BYTE*>(code.pixels()));
        if (qr.GetLastStatus() == Gdiplus::Ok)
            DrawQrPicture(graphics, scale, qr, square);
    } else if (qrPlaceholder) {
        graphics.DrawImage(qrPlaceholder.get(), RectOf(square));
    }
}
