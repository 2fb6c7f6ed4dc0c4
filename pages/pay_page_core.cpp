#include "pages/pay_page_core.h"

#include <shlwapi.h>

#include <climits>
#include <cwchar>

#include "config/local_config.h"
#include "pages/blocking_request.h"
#include "pages/page_messages.h"
#include "skin/png_resource.h"
#include "store/json_read.h"
#include "store/link_handoff.h"
#include "store/orders.h"

namespace {

constexpr int kPaidViewPictureId = 173;
constexpr int kQrPlaceholderId = 174;
constexpr int kChoiceMarkWidth = 32;
constexpr int kPackagePictureWidth = 408;
constexpr int kPanelWidth = 360;

constexpr SkinElementMask kChoices = SkinElementBit(kAlipayChoice) | SkinElementBit(kWeChatChoice);
constexpr SkinElementMask kPurchaseElements = kChoices | SkinElementBit(kOfficialSiteTab);
constexpr SkinElementMask kPaidElements = SkinElementBit(kOpenLink) | SkinElementBit(kCopyLink) |
                                          SkinElementBit(kOpenHelp) | SkinElementBit(kCopyHelp);
constexpr SkinElementMask kAllElements = kPurchaseElements | kPaidElements;

// Elements a click or a move can reach in `view`.
SkinElementMask Reachable(int view) {
    switch (view) {
        case kPurchaseView:
            return kPurchaseElements;
        case kPaidView:
            return kPaidElements;
        default:
            return 0;
    }
}

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

void ShowCopied(HWND page) {
    ::MessageBoxW(page, L"复制成功", L"", MB_OK);
}

}  // namespace

PayAction PayActionAt(int view, const std::vector<SkinElement>& elements, const RECT& qrRect,
                      POINT p) {
    if (view == kPurchaseView && PtInRect(&qrRect, p))
        return PayAction::OrderWithCheckedType;
    switch (HitTestSkinElements(elements, p, ~Reachable(view))) {
        case kAlipayChoice:
            return PayAction::ChooseAlipay;
        case kWeChatChoice:
            return PayAction::ChooseWeChatPay;
        case kOfficialSiteTab:
            return PayAction::OpenShop;
        case kOpenLink:
            return PayAction::OpenLink;
        case kCopyLink:
            return PayAction::CopyLink;
        case kOpenHelp:
            return PayAction::OpenHelp;
        case kCopyHelp:
            return PayAction::CopyHelp;
        default:
            return PayAction::None;
    }
}

SkinElementMask PayHoverExempt(int view) {
    return kChoices | ~Reachable(view);
}

int ViewOfOrder(int payStatus) {
    return payStatus < INT_MAX ? payStatus + 1 : 0;
}

std::wstring DetailAsDrawn(const std::wstring& detail) {
    if (detail.size() <= kDrawnDetailLength)
        return detail;
    size_t length = kDrawnDetailLength;
    if (IS_HIGH_SURROGATE(detail[length - 1]))
        --length;
    return detail.substr(0, length);
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

void PayPageCore::Load(const SkinElementRecord* table, int backgroundId, const RECT& qrSquare) {
    background = LoadPngResource(backgroundId);
    paidBackground = LoadPngResource(kPaidViewPictureId);
    qrRect = qrSquare;
    qrPlaceholder = LoadPngResource(kQrPlaceholderId);
    elements = BuildSkinElements(table, kPayElementCount);
    elements[kWeChatChoice].hover = 1;
}

void PayPageCore::SetView(int newView) {
    view = newView;
    for (size_t i = 0; i < elements.size(); ++i) {
        if ((kChoices & SkinElementBit(i)) == 0)
            elements[i].hover = 0;
    }
}

int PayPageCore::CheckedPayType() const {
    return elements[kAlipayChoice].hover ? kAlipay : kWeChatPay;
}

void PayPageCore::Check(HWND page, int payType) {
    elements[kAlipayChoice].hover = payType == kAlipay ? 1 : 0;
    elements[kWeChatChoice].hover = payType == kAlipay ? 0 : 1;
    ::InvalidateRect(page, &elements[kAlipayChoice].rect, TRUE);
    ::InvalidateRect(page, &elements[kWeChatChoice].rect, TRUE);
}

bool PayPageCore::RequestOrder(HWND page, int payType) {
    ::DeleteFileW(localConfig.qrImagePath.c_str());
    bool created = false;
    {
        BlockingRequest wait;
        created = CreateOrder(page, payType, package.id, mobileNumber);
    }
    // Also after a failure: the old order's QR code is gone and must not stay
    // on screen to be paid while nothing watches that order any more.
    ::InvalidateRect(page, nullptr, TRUE);
    return created;
}

void PayPageCore::OnMouseMove(HWND page, POINT p) {
    hoverTracker.OnMouseMove(page, elements, p, PayHoverExempt(view));
}

void PayPageCore::OnMouseLeave(HWND page) {
    hoverTracker.OnMouseLeave(page, elements, kChoices);
}

PayAction PayPageCore::OnClick(HWND page, POINT p) {
    const PayAction action = PayActionAt(view, elements, qrRect, p);
    switch (action) {
        case PayAction::OrderWithCheckedType:
            RequestOrder(page, CheckedPayType());
            break;
        case PayAction::ChooseAlipay:
            Check(page, kAlipay);
            RequestOrder(page, kAlipay);
            break;
        case PayAction::ChooseWeChatPay:
            Check(page, kWeChatPay);
            RequestOrder(page, kWeChatPay);
            break;
        case PayAction::OpenShop:
            if (!storeState.products.empty())
                OpenUrlInShell(storeState.products.front().shopUrl);
            break;
        case PayAction::OpenLink:
            OpenUrlInShell(paidLinks.linkUrl);
            break;
        case PayAction::CopyLink:
            if (CopyTextToClipboard(Utf8ToWide(paidLinks.linkUrl)))
                ShowCopied(page);
            break;
        case PayAction::OpenHelp:
            OpenUrlInShellW(package.helpLinkUrl);
            break;
        case PayAction::CopyHelp:
            if (CopyTextToClipboard(package.helpLinkUrl))
                ShowCopied(page);
            break;
        case PayAction::None:
            break;
    }
    return action;
}

std::unique_ptr<OrderLinks> PayPageCore::RedeemPaidOrder(HWND page, WPARAM wParam, LPARAM lParam) {
    std::unique_ptr<OrderLinks> links = PaidOrderPosts().Redeem(page, lParam);
    if (wParam != 1)
        return nullptr;
    return links;
}

void PayPageCore::ShowPaidOrder(HWND page, const OrderLinks& links) {
    paidLinks = links;
    SetView(kPaidView);
    ::InvalidateRect(page, nullptr, TRUE);
}

void PayPageCore::DrawPurchaseBackdrop(Gdiplus::Graphics& graphics, int width, int height) const {
    if (package.packageImage)
        graphics.DrawImage(package.packageImage, 0, 0, kPackagePictureWidth, height);
    if (background)
        graphics.DrawImage(background.get(), width - kPanelWidth, 0, kPanelWidth, height);
}

void PayPageCore::DrawChoicesAndQr(Gdiplus::Graphics& graphics) const {
    for (int choice : {kAlipayChoice, kWeChatChoice}) {
        const SkinElement& element = elements[choice];
        RECT mark = element.rect;
        mark.right = mark.left + kChoiceMarkWidth;
        DrawSkinElement(graphics, element, mark);
    }
    DrawSkinElement(graphics, elements[kOfficialSiteTab]);

    const Gdiplus::RectF square = RectOf(qrRect);
    const std::wstring& path = localConfig.qrImagePath;
    if (!path.empty() && ::PathFileExistsW(path.c_str())) {
        // Read at every paint: the file is the only copy of the current code.
        Gdiplus::Image qr(path.c_str());
        if (qr.GetLastStatus() == Gdiplus::Ok) {
            // Whole pixels per module keep the code sharp for the phone.
            const Gdiplus::InterpolationMode mode = graphics.GetInterpolationMode();
            graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
            graphics.DrawImage(&qr, square);
            graphics.SetInterpolationMode(mode);
        }
    } else if (qrPlaceholder) {
        graphics.DrawImage(qrPlaceholder.get(), square);
    }
}

void PayPageCore::DrawPaidView(Gdiplus::Graphics& graphics, PaintTools& tools, int width,
                               int height) const {
    if (paidBackground)
        graphics.DrawImage(paidBackground.get(), 0, 0, width, height);
    Gdiplus::Font& font = tools.Font(9);
    tools.DrawText(graphics, package.name.c_str(), Gdiplus::RectF(94, 216, 400, 24), font,
                   tools.CentredFormat(), kTextArgb);
    tools.DrawText(graphics, package.helpTitle.c_str(), Gdiplus::RectF(94, 265, 400, 24), font,
                   tools.CentredFormat(), kTextArgb);
    for (int i = kOpenLink; i <= kCopyHelp; ++i)
        DrawSkinElement(graphics, elements[static_cast<size_t>(i)]);
}
