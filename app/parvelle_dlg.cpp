#include "app/parvelle_dlg.h"

#include "app/main_elements.h"
#include "app/mobile_number.h"
#include "app/scale_placement.h"
#include "app/store_front_paint.h"
#include "config/local_config.h"
#include "framework/afxapp.h"
#include "framework/afxmsgmap.h"
#include "pages/dialog_keys.h"
#include "pages/page_messages.h"
#include "pages/pay_page_core.h"
#include "resource.h"
#include "skin/display_scale.h"
#include "skin/picture_cache.h"
#include "store/link_handoff.h"
#include "store/store_state.h"

namespace {

const ProductRecord* CurrentProduct() {
    return storeState.products.empty() ? nullptr : &storeState.products.front();
}

}  // namespace

namespace {

// Logical places of the main window's children.
constexpr RECT kMobileEditRect{571, 447, 731, 472};
constexpr RECT kSelectorRect{150, 444, 436, 469};
constexpr RECT kPageRect{0, kTitleStripHeight, 800, 600};
constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 600;

// The dialog template's edit font, 9 points of "MS Shell Dlg".
constexpr int kEditFontPoints = 9;

}  // namespace

BEGIN_MESSAGE_MAP(CparvelleDlg, CSkinnedWnd<CDialogEx>)
ON_MESSAGE(WM_SETFOCUS, &CparvelleDlg::OnSetFocusMessage)
ON_MESSAGE(WM_CHANGEUISTATE, &CparvelleDlg::OnChangeUiState)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_MESSAGE(WM_HISTORY_NAVIGATE, &CparvelleDlg::OnHistoryNavigate)
ON_MESSAGE(WM_PAID_ORDER_SHOWN, &CparvelleDlg::OnPaidOrderShown)
ON_WM_DESTROY()
ON_MESSAGE(WM_DPICHANGED, &CparvelleDlg::OnDpiChanged)
END_MESSAGE_MAP()

CparvelleDlg::CparvelleDlg(CWnd* pParent) : CSkinnedWnd(IDD, pParent) {
    icon = ::LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

CparvelleDlg::~CparvelleDlg() {
    // The window goes first, so that nothing paints with a released picture
    // (and the icon it shows goes after it).
    DestroyWindow();
}

void CparvelleDlg::OnDestroy() {
    // Copies still queued for this window would never be redeemed.
    HistoryNavigatePosts().Discard(m_hWnd);
    accessible.Disconnect();
    CDialogEx::OnDestroy();
}

bool CparvelleDlg::Covered(const SkinElement& element) const {
    // A page in view lies over the store front's own buttons.
    return (element.views & ViewBit(static_cast<int>(pages.view()))) == 0;
}

void CparvelleDlg::ListAccessibleNodes(std::vector<AccessibleNode>& nodes) const {
    // A page shown over the store front hides the buttons beneath it.
    const bool hasFocus = HasKeyboardFocus(m_hWnd);
    for (size_t i = 0; i < elements.size(); ++i) {
        const SkinElement& element = elements[i];
        if (element.shown && !Covered(element))
            nodes.push_back(
                ElementNode(element, hasFocus && elements.focused() == static_cast<int>(i)));
    }
    // The chosen package's name and price, as texts to read, while the store
    // front shows.
    const ProductRecord* product = CurrentProduct();
    const int index = SelectedPackageIndex();
    if (product != nullptr && index >= 0 && static_cast<size_t>(index) < product->packages.size() &&
        elements.size() > kElementActivate && !Covered(elements[kElementActivate])) {
        const PackageRecord& package = product->packages[static_cast<size_t>(index)];
        for (const std::wstring& text : {package.name, L"价格：" + FormatPrice(package.price)}) {
            AccessibleNode node;
            node.name = text;
            node.role = ROLE_SYSTEM_STATICTEXT;
            node.state = STATE_SYSTEM_READONLY;
            nodes.push_back(std::move(node));
        }
    }
}

void CparvelleDlg::DoAccessibleAction(int action) {
    ClickElement(action);
}

void CparvelleDlg::DoDataExchange(CDataExchange* pDX) {
    CDialogEx::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_MOBILE_EDIT, mobileEdit);
}

BOOL CparvelleDlg::PreTranslateMessage(MSG* pMsg) {
    if (HandleFocusKeys(*pMsg))
        return TRUE;
    return FilterDialogKeys(*this, pMsg);
}

void CparvelleDlg::SetStoreType(int value) {
    storeType = value;
}

void CparvelleDlg::SetPayTypeIsFirst(bool value) {
    payTypeIsFirst = value ? 1 : 0;
}

void CparvelleDlg::SetTitle(const std::wstring& title) {
    SetWindowText(title.c_str());
}

void CparvelleDlg::SetIcon(HICON newIcon) {
    if (newIcon != fileIcon_.get())
        fileIcon_.reset(newIcon);
    icon = newIcon;
}

BOOL CparvelleDlg::OnInitDialog() {
    CDialogEx::OnInitDialog();

    if (!RunStartupSequence(*this, startupInputs)) {
        // Never shown: the program ends without a word.
        CDialog::OnOK();
        return FALSE;
    }

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

    // 800 x 600 logical units at the scale of the monitor it opens on.
    const DisplayScale scale = DisplayScale::Of(m_hWnd);
    scaleDpi = scale.dpi();
    MoveWindow(0, 0, scale.ToDevice(kWindowWidth), scale.ToDevice(kWindowHeight));
    CenterWindow();

    // The artwork drawn for that scale.
    bottomStrip = SharedPngResource(IDP_BOTTOM_STRIP, scale.dpi());
    elements = DrawnElements(BuildSkinElements(kMainElementRecords, scale.dpi()));

    CreateSelector();

    mobileEdit.SendMessage(EM_LIMITTEXT, 15, 0);

    // Created in this order, the pages stack with pagePay1 on top.
    CreatePage(pagePay1);
    CreatePage(pageHistory);
    CreatePage(pagePay2);
    LayOutChildren();

    AnimateWindow(350, AW_SLIDE | AW_VER_POSITIVE);
    return TRUE;
}

void CparvelleDlg::CreatePage(CDialogEx& page) {
    page.Create(page.m_nIDHelp, this);
    page.ShowWindow(SW_HIDE);
    // A page left shown beneath another (a payment page under the history)
    // still repaints when its elements change: clipped by its siblings, it
    // can never draw over the page on top. Each new page goes to the bottom,
    // so the stacking follows the creation order on every system.
    const HWND hwnd = page.m_hWnd;
    ::SetWindowLongPtrW(hwnd, GWL_STYLE, ::GetWindowLongPtrW(hwnd, GWL_STYLE) | WS_CLIPSIBLINGS);
    ::SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CparvelleDlg::LayOutChildren() {
    MoveWindowLogical(mobileEdit.m_hWnd, kMobileEditRect);
    selector.LayOut(kSelectorRect);
    for (const PageSwitcher::Entry& entry : pages.pages()) {
        if (entry.page->PageHandle() != nullptr)
            entry.page->LayOut(kPageRect);
    }
}

void CparvelleDlg::ShowStoreFrontControls(bool show) {
    mobileEdit.ShowWindow(show ? SW_SHOW : SW_HIDE);
    selector.ShowWindow(show ? SW_SHOW : SW_HIDE);
}

LRESULT CparvelleDlg::OnDpiChanged(WPARAM, LPARAM lParam) {
    // Any program on the desktop can send this message: the scale is the
    // system's, and the rectangle is read only once the system's scale for the
    // window has changed (the message is then the system's own), and checked.
    const int dpi = DisplayScale::Of(m_hWnd).dpi();
    if (dpi != scaleDpi)
        ApplyScale(dpi, reinterpret_cast<const RECT*>(lParam));
    return 0;
}

void CparvelleDlg::ApplyScale(int dpi, const RECT* suggested) {
    scaleDpi = dpi;
    // The layout stays the same in logical units; the window goes where the
    // system suggests when that is a sane place for it.
    RECT now{};
    ::GetWindowRect(m_hWnd, &now);
    const RECT place = PlaceAtScale(suggested, POINT{now.left, now.top},
                                    SIZE{kWindowWidth, kWindowHeight}, DisplayScale(dpi));
    ::SetWindowPos(m_hWnd, nullptr, place.left, place.top, place.right - place.left,
                   place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    LOGFONTW font{};
    font.lfHeight = -MulDiv(kEditFontPoints, dpi, 72);
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, L"MS Shell Dlg", LF_FACESIZE);
    CFont next;
    if (next.CreateFontIndirect(&font)) {
        // The edit lets go of the old font before it is deleted.
        mobileEdit.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(next.GetSafeHandle()), TRUE);
        scaledEditFont.DeleteObject();
        scaledEditFont.Attach(next.Detach());
    }
    LayOutChildren();
    // The artwork drawn for the new scale, and every kept frame composed anew.
    const UINT pictures = static_cast<UINT>(dpi);
    bottomStrip = SharedPngResource(IDP_BOTTOM_STRIP, pictures);
    elements.LoadPictures(pictures);
    for (const PageSwitcher::Entry& entry : pages.pages())
        entry.page->ScaleChanged(pictures);
    RedrawFramesOf(m_hWnd);
}

void CparvelleDlg::Compose(OffscreenFrame& f) {
    StoreFrontContent content;
    content.product = CurrentProduct();
    content.productName = localConfig.currentProductName;
    content.bottomStrip = bottomStrip.get();
    content.elements = &elements;
    content.productCache = &productPicture;
    content.productBackdrop = &productBackdrop;
    PaintStoreFront(f.graphics(), f.tools(), f.scale(), f.width(), content);
    elements.DrawFocusRing(f.graphics(), f.scale(), HasKeyboardFocus(m_hWnd));
}

void CparvelleDlg::OnLButtonDown(UINT nFlags, CPoint point) {
    const RECT client = LogicalClientRect(m_hWnd);
    if (InMainDragZone(point, client.right - client.left)) {
        // The system moves the window with the pointer from here on.
        SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
    } else {
        ClickElement(elements.ActionAt(point));
    }
    CDialogEx::OnLButtonDown(nFlags, point);
}

void CparvelleDlg::ClickElement(int action) {
    const ProductRecord* product = CurrentProduct();
    switch (action) {
        case kElementClose:
            CloseAnimated();
            break;
        case kElementMinimise:
            ShowWindow(SW_SHOWMINIMIZED);
            break;
        case kElementMyOrders:
            pages.OpenHistory();
            ResetKeyboardFocus();
            break;
        case kElementService:
            OpenUrlInShell(storeState.customerServiceUrl);
            break;
        case kElementOfficialSite:
            if (product != nullptr) {
                OpenUrlInShell(product->shopUrl);
            }
            break;
        case kElementActivate:
            Activate();
            break;
        default:
            break;
    }
}

void CparvelleDlg::OnLButtonUp(UINT nFlags, CPoint point) {
    CDialogEx::OnLButtonUp(nFlags, point);
}

void CparvelleDlg::CloseAnimated() {
    AnimateWindow(350, AW_HIDE | AW_SLIDE | AW_VER_NEGATIVE);
    CDialog::OnOK();
}

void CparvelleDlg::Activate() {
    char text[kMobileNumberBufferSize] = {};
    GetDlgItemTextA(IDC_MOBILE_EDIT, text, kMobileNumberBufferSize);
    if (!IsValidMobileNumber(text)) {
        MessageBox(L"手机格式错误！", L"", MB_OK);
        return;
    }
    const ProductRecord* product = CurrentProduct();
    const int index = SelectedPackageIndex();
    if (product == nullptr || index < 0 || static_cast<size_t>(index) >= product->packages.size()) {
        // Nothing to buy: an empty catalogue product leaves the selector empty.
        return;
    }
    mobileNumber = text;
    pages.OpenOrder(1, product->packages[static_cast<size_t>(index)]);
    ResetKeyboardFocus();
}

LRESULT CparvelleDlg::OnPaidOrderShown(WPARAM, LPARAM lParam) {
    // Only the handle of one of our own payment pages is acted on.
    View view = View::StoreFront;
    if (!pages.ViewOfHandle(reinterpret_cast<HWND>(lParam), view) || view == View::History)
        return 0;
    if (pages.BringPaidPageForward(view))
        ResetKeyboardFocus();
    return 0;
}

LRESULT CparvelleDlg::OnHistoryNavigate(WPARAM wParam, LPARAM lParam) {
    if (wParam != kHistoryNavigateSource) {
        return 1;
    }
    if (lParam == 0) {
        pages.BackToStoreFront();
        ResetKeyboardFocus();
        return 1;
    }
    // Only a copy the history page posted to this window is opened.
    std::unique_ptr<PackageRecord> record = HistoryNavigatePosts().Redeem(m_hWnd, lParam);
    if (!record) {
        return 1;
    }
    pages.OpenOrderFromHistory(*record);
    ResetKeyboardFocus();
    return 1;
}

void CparvelleDlg::CreateSelector() {
    selector.Create(WS_CHILD | WS_VISIBLE, kSelectorRect, this, kSelectorId);
    selector.UpdateWindow();
    if (const ProductRecord* product = CurrentProduct()) {
        for (const PackageRecord& package : product->packages) {
            selector.dropWnd.AddItem(package.name, package.id);
        }
    }
    selector.SelectInitial();
}

int CparvelleDlg::SelectedPackageIndex() const {
    return selector.dropWnd.selectedIndex;
}
