#include "controls/xcommbox.h"

#include <gdiplus.h>
#include <uxtheme.h>

#include <algorithm>
#include <memory>
#include <utility>

#include "skin/back_buffer.h"
#include "skin/display_scale.h"
#include "framework/afxapp.h"

namespace {

const wchar_t kDropClass[] = L"_xcombox_drop_class_";
const wchar_t kDropName[] = L"_xcombox_drop_wnd_";
constexpr int kDropCreateHeight = 200;

// Both combos of the program share one class; the second registration fails
// because the class exists, which is fine.
void RegisterDropClass() {
    WNDCLASSW wc{};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcW;  // the framework subclasses each drop window
    wc.hInstance = AfxGetInstanceHandle();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH));
    wc.lpszClassName = kDropClass;
    RegisterClassW(&wc);
}

}  // namespace

BEGIN_MESSAGE_MAP(XCommbox, CSkinnedWnd<CWnd>)
ON_WM_CTLCOLOR()
ON_WM_LBUTTONDOWN()
ON_MESSAGE(WM_COMBO_SELECT, &XCommbox::OnComboSelect)
ON_MESSAGE(WM_DESTROY, &XCommbox::OnDestroyBody)
ON_MESSAGE(WM_SETFOCUS, &XCommbox::OnFocusChange)
ON_MESSAGE(WM_KILLFOCUS, &XCommbox::OnFocusChange)
ON_MESSAGE(WM_UPDATEUISTATE, &XCommbox::OnUpdateUiState)
ON_MESSAGE(WM_ACCESSIBLE_ACTION, &XCommbox::OnAccessibleAction)
ON_MESSAGE(WM_SHOWWINDOW, &XCommbox::OnShowBody)
END_MESSAGE_MAP()

XCommbox::XCommbox() {
    nullBrush.CreateStockObject(NULL_BRUSH);
    dropWnd.textArgb = 0xFF000000;
    dropWnd.backArgb = 0xFF000000;
    dropWnd.logFont = nullptr;
    dropWnd.notifyHwnd = nullptr;
}

XCommbox::~XCommbox() {
    DiscardPendingChoices();
}

BOOL XCommbox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    const RECT device =
        DisplayScale::Of(pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr).ToDevice(rect);
    if (!CreateEx(0, AfxRegisterWndClass(0), nullptr, dwStyle, device, pParentWnd, nID)) {
        return FALSE;
    }

    lfont = LOGFONTW{};
    lfont.lfHeight = 18;
    lfont.lfWeight = 352;
    lfont.lfQuality = PROOF_QUALITY;
    lfont.lfPitchAndFamily = 0x12;  // VARIABLE_PITCH | FF_SWISS
    lstrcpynW(lfont.lfFaceName, L"微软雅黑", LF_FACESIZE);

    // The body draws the chevron itself; the element carries its zone.
    SkinElement chevron;
    chevron.name = kNoChoiceName;
    chevron.action = kToggleList;
    chevron.followsPointer = false;  // the body shows no hover
    elements.Clear(m_hWnd);
    elements.Add(m_hWnd, std::move(chevron));

    edit.Create(WS_CHILD | WS_VISIBLE | ES_READONLY | ES_AUTOHSCROLL, CRect(0, 0, 0, 0), this,
                kEditId);
    LayOut(rect);

    RegisterDropClass();

    dropWnd.logFont = &lfont;
    dropWnd.textArgb = ArgbFromColorref(textColor);
    dropWnd.backArgb = ArgbFromColorref(backColor);
    dropWnd.notifyHwnd = m_hWnd;
    const DisplayScale scale = DisplayScale::Of(m_hWnd);
    dropWnd.CreateEx(0, kDropClass, kDropName, WS_POPUP, 0, 0, scale.ToDevice(width),
                     scale.ToDevice(kDropCreateHeight), m_hWnd, nullptr);
    return TRUE;
}

void XCommbox::LayOut(const RECT& rect) {
    if (m_hWnd == nullptr) {
        return;
    }
    MoveWindowLogical(m_hWnd, rect);
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
    if (!elements.empty())
        elements.SetRect(m_hWnd, kToggleList, RECT{width - kChevronZone + 1, 0, width, height});
    // The edit is a system control: its font is made in device pixels.
    LOGFONTW scaled = lfont;
    scaled.lfHeight = DisplayScale::Of(m_hWnd).ToDevice(lfont.lfHeight);
    CFont next;
    if (next.CreateFontIndirect(&scaled)) {
        // The edit lets go of the old font before it is deleted.
        edit.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(next.GetSafeHandle()), TRUE);
        font.DeleteObject();
        font.Attach(next.Detach());
    }
    const int m = (height - 20) / 2;
    MoveWindowLogical(edit.m_hWnd, RECT{6, m + 2, width - 32, m + 16});
}

bool XCommbox::SelectInitial() {
    if (dropWnd.ItemCount() == 0) {
        return false;
    }
    dropWnd.SelectIndex(0);
    return true;
}

void XCommbox::OnLButtonDown(UINT nFlags, CPoint point) {
    if (elements.ActionAt(point) == kToggleList) {
        ToggleDrop();
    }
    CWnd::OnLButtonDown(nFlags, point);
}

bool XCommbox::DropShown() const {
    return dropWnd.m_hWnd != nullptr && dropWnd.IsWindowVisible();
}

void XCommbox::CloseDrop() {
    if (dropWnd.m_hWnd != nullptr)
        dropWnd.ShowWindow(SW_HIDE);
    FrameChanged(m_hWnd);  // the chevron flips
}

void XCommbox::ToggleDrop() {
    if (dropWnd.m_hWnd != nullptr) {
        if (dropWnd.IsWindowVisible()) {
            dropWnd.ShowWindow(SW_HIDE);
        } else {
            dropWnd.MarkRow(dropWnd.selectedIndex);
            CRect body;
            GetWindowRect(&body);
            // 30 logical pixels a row and the bottom border line; an empty
            // list is 1 high.
            const long long rows = static_cast<long long>(dropWnd.ItemCount());
            const int dropHeight =
                static_cast<int>(std::min<long long>(rows * XDropWnd::kRowHeight + 1, 32767));
            dropWnd.MoveWindow(body.left, body.bottom, body.Width(),
                               std::min(DisplayScale::Of(m_hWnd).ToDevice(dropHeight), 32767));
            dropWnd.ShowWindow(SW_SHOW);
            dropWnd.UpdateWindow();
        }
    }
    FrameChanged(m_hWnd);  // the chevron flips
}

void XCommbox::Compose(OffscreenFrame& frame) {
    if (!frame.buffered()) {
        return;
    }
    // No fill of its own: the body shows its parent's background.
    DrawThemeParentBackground(m_hWnd, frame.memoryDc(), nullptr);
    const HWND focus = ::GetFocus();
    const bool ring =
        elements.focusCues() && focus != nullptr && (focus == m_hWnd || ::IsChild(m_hWnd, focus));
    // The chevron zone is the body's one element, drawn by the body.
    elements.Draw(frame.graphics(), [&](Gdiplus::Graphics& g, const SkinElement&) {
        DrawComboBody(g, frame.scale(), frame.client(), DropShown(), ring);
    });
}

void DrawComboBody(Gdiplus::Graphics& g, const DisplayScale& scale, const RECT& client, bool open,
                   bool focusRing) {
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    Gdiplus::Pen pen(Gdiplus::Color(XCommbox::kChevronArgb), 2.0f);
    const int w = client.right - client.left;
    const int h = client.bottom - client.top;
    const int c = h / 2;
    if (open) {
        g.DrawLine(&pen, w - 20, c + 4, w - 13, c - 4);  // pointing up
        g.DrawLine(&pen, w - 13, c - 4, w - 6, c + 4);
    } else {
        g.DrawLine(&pen, w - 20, c - 4, w - 13, c + 4);  // pointing down
        g.DrawLine(&pen, w - 13, c + 4, w - 6, c - 4);
    }
    // Logical like everything else the scaled graphics draws.
    if (focusRing)
        DrawFocusRect(g, scale, RECT{0, 0, w, h});
}

HBRUSH XCommbox::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    HBRUSH brush = CWnd::OnCtlColor(pDC, pWnd, nCtlColor);
    if (nCtlColor == CTLCOLOR_STATIC) {
        // The read-only edit writes its text straight onto the body's pixels.
        pDC->SetBkMode(TRANSPARENT);
        pDC->SetBkColor(backColor);
        pDC->SetTextColor(textColor);
        return nullBrush;
    }
    return brush;
}

LRESULT XCommbox::OnComboSelect(WPARAM wParam, LPARAM lParam) {
    if (wParam == kComboChosen) {
        // Only a text our own drop list posted here is shown.
        std::unique_ptr<std::wstring> text = ComboChoicePosts().Redeem(m_hWnd, lParam);
        if (!text)
            return 0;
        edit.SetWindowText(text->c_str());
        if (!elements.empty())
            elements.SetName(m_hWnd, kToggleList, *text);
        if (dropWnd.m_hWnd != nullptr) {
            dropWnd.ShowWindow(SW_HIDE);
        }
        FrameChanged(m_hWnd);
        // Posted after the edit changed: the parent reads a settled selection.
        if (HWND parent = ::GetParent(m_hWnd)) {
            ::PostMessageW(parent, WM_COMBO_SELECT, kComboChanged, 0);
        }
    } else if (wParam == kComboClose) {
        if (dropWnd.m_hWnd != nullptr) {
            dropWnd.ShowWindow(SW_HIDE);
        }
        FrameChanged(m_hWnd);
    }
    return 0;
}

LRESULT XCommbox::OnDestroyBody(WPARAM, LPARAM) {
    DiscardPendingChoices();
    accessible.Disconnect();
    return Default();
}

bool XCommbox::AccessibleValue(std::wstring& value) const {
    if (elements.empty())
        return false;
    value = elements[kToggleList].name;
    return true;
}

void XCommbox::ListAccessibleNodes(std::vector<AccessibleNode>& nodes) const {
    if (elements.empty())
        return;
    AccessibleNode toggle = ElementNode(elements[kToggleList]);
    // The chevron: named as a standard combo box names its button.
    toggle.name = dropWnd.m_hWnd != nullptr && dropWnd.IsWindowVisible() ? L"关闭" : L"打开";
    nodes.push_back(std::move(toggle));
}

void XCommbox::DoAccessibleAction(int action) {
    if (action == kToggleList)
        ToggleDrop();
}

void XCommbox::DiscardPendingChoices() {
    // Texts posted to a body that is going away would never be redeemed.
    if (m_hWnd != nullptr) {
        ComboChoicePosts().Discard(m_hWnd);
    }
}

LRESULT XCommbox::OnFocusChange(WPARAM, LPARAM) {
    FrameChanged(m_hWnd);  // the focus ring comes or goes
    return Default();
}

LRESULT XCommbox::OnUpdateUiState(WPARAM wParam, LPARAM) {
    elements.OnUpdateUiState(m_hWnd, wParam);
    if (dropWnd.m_hWnd != nullptr)
        dropWnd.SetFocusCues(elements.focusCues());
    FrameChanged(m_hWnd);
    return 0;
}

LRESULT XCommbox::OnAccessibleAction(WPARAM wParam, LPARAM) {
    accessible.RunPostedAction(m_hWnd, wParam);
    return 0;
}

LRESULT XCommbox::OnShowBody(WPARAM wParam, LPARAM) {
    // An open list never outlives its body on screen (a view without the
    // selector came while it was open).
    if (!wParam && DropShown())
        CloseDrop();
    return Default();
}

BOOL XCommbox::PreTranslateMessage(MSG* pMsg) {
    const bool alt = pMsg->message == WM_SYSKEYDOWN;
    if (pMsg->message != WM_KEYDOWN && !alt)
        return FALSE;
    const WPARAM key = pMsg->wParam;
    if ((alt && (key == VK_DOWN || key == VK_UP)) || (!alt && key == VK_F4)) {
        ShowFocusCues(m_hWnd);
        ToggleDrop();
        return TRUE;
    }
    if (alt)
        return FALSE;
    const bool open = DropShown();
    switch (key) {
        case VK_UP:
        case VK_DOWN:
        case VK_LEFT:
        case VK_RIGHT: {
            ShowFocusCues(m_hWnd);
            const int step = key == VK_UP || key == VK_LEFT ? -1 : 1;
            if (open) {
                dropWnd.MoveMark(step);
            } else {
                const int count = static_cast<int>(dropWnd.ItemCount());
                const int next = dropWnd.selectedIndex + step;
                if (count > 0 && dropWnd.selectedIndex >= 0 && next >= 0 && next < count)
                    dropWnd.SelectIndex(next);
                else if (count > 0 && dropWnd.selectedIndex < 0)
                    dropWnd.SelectIndex(0);
            }
            return TRUE;
        }
        case VK_RETURN:
            if (open && !dropWnd.ChooseMarked())
                CloseDrop();
            return open ? TRUE : FALSE;
        case VK_ESCAPE:
            if (!open)
                return FALSE;
            CloseDrop();
            return TRUE;
        case VK_TAB:
            if (open)
                CloseDrop();
            return FALSE;  // the owner moves the focus on
        default:
            return FALSE;
    }
}
