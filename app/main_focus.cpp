// The main window's keyboard: the focus order of each view and the keys that
// walk it.
#include "app/main_elements.h"
#include "app/parvelle_dlg.h"

namespace {

FocusStop WindowStop(const CWnd& window) {
    FocusStop stop;
    stop.window = window.m_hWnd;
    return stop;
}

bool Shows(const CWnd& window) {
    return window.m_hWnd != nullptr && window.IsWindowVisible();
}

}  // namespace

void CparvelleDlg::ListFocusStops(std::vector<FocusStop>& stops) const {
    if (const SwitchedPage* page = pages.Current()) {
        page->AppendFocusStops(stops);
    } else {
        if (Shows(selector))
            stops.push_back(WindowStop(selector));
        if (Shows(mobileEdit))
            stops.push_back(WindowStop(mobileEdit));
    }
    AppendElementStops(stops, m_hWnd, elements, 1, INT_MAX,
                       ViewBit(static_cast<int>(pages.view())));
}

bool CparvelleDlg::HandleFocusKeys(const MSG& msg) {
    if (msg.message != WM_KEYDOWN)
        return false;
    const WPARAM key = msg.wParam;
    if (key != VK_TAB && key != VK_SPACE && key != VK_RETURN && key != VK_LEFT && key != VK_RIGHT &&
        key != VK_UP && key != VK_DOWN)
        return false;

    std::vector<FocusStop> stops;
    ListFocusStops(stops);
    const HWND focus = ::GetFocus();
    const int current = CurrentFocusStop(stops, focus);
    const bool onElement = current >= 0 && stops[static_cast<size_t>(current)].element >= 0;
    // The main window or a page itself, with no element marked (after a
    // change of view): arrows there must not reach the dialog manager, which
    // would move to the mobile number edit.
    View focusView = View::StoreFront;
    const bool onSkinned = focus == m_hWnd || (focus != nullptr && ::GetParent(focus) == m_hWnd &&
                                               pages.ViewOfHandle(focus, focusView));
    const bool repeated = (msg.lParam & (1 << 30)) != 0;
    auto press = [](const FocusStop& stop) {
        // Posted, as a screen reader's default action: the click runs from
        // the message loop, after this key, and only while the element shows.
        ::PostMessageW(stop.window, WM_ACCESSIBLE_ACTION, static_cast<WPARAM>(stop.action), 0);
    };

    switch (key) {
        case VK_TAB: {
            if (::GetKeyState(VK_CONTROL) < 0)
                return false;
            ShowFocusCues(m_hWnd);
            const bool forward = ::GetKeyState(VK_SHIFT) >= 0;
            const int next = TabFocusStop(stops, current, forward);
            if (next >= 0)
                FocusOnStop(stops[static_cast<size_t>(next)]);
            return true;
        }
        case VK_SPACE:
        case VK_RETURN:
            // Enter anywhere else is swallowed by the key filter.
            if (!onElement)
                return false;
            if (!repeated)
                press(stops[static_cast<size_t>(current)]);
            return true;
        default: {  // the arrows
            if (!onElement)
                return onSkinned;
            ShowFocusCues(m_hWnd);
            const bool forward = key == VK_RIGHT || key == VK_DOWN;
            const int next = ArrowFocusStop(stops, current, forward);
            if (next >= 0 && next != current) {
                const FocusStop& stop = stops[static_cast<size_t>(next)];
                FocusOnStop(stop);
                // As radio buttons do: the arrow chooses the method it reaches,
                // unless that one is checked already (no order again).
                if (stop.choice && !stop.chosen)
                    press(stop);
            }
            return true;
        }
    }
}

void CparvelleDlg::ResetKeyboardFocus() {
    const HWND focus = ::GetFocus();
    if (focus != m_hWnd && !::IsChild(m_hWnd, focus))
        return;  // another window, a message box, has it
    elements.SetFocused(m_hWnd, -1);
    const HWND control = DefaultControl();
    ::SetFocus(control != nullptr ? control : m_hWnd);
}

HWND CparvelleDlg::DefaultControl() const {
    return Shows(mobileEdit) && mobileEdit.IsWindowEnabled() ? mobileEdit.m_hWnd : nullptr;
}

LRESULT CparvelleDlg::OnSetFocusMessage(WPARAM wParam, LPARAM) {
    // With no drawn element to hold it, the focus goes on to the dialog's
    // default control, as a dialog's own handling does: typed digits reach
    // the mobile number.
    if (elements.focused() < 0) {
        if (const HWND control = DefaultControl()) {
            ::SetFocus(control);
            return 0;
        }
    }
    LRESULT result = 0;
    HandleElementFocus(m_hWnd, elements, accessible, WM_SETFOCUS, wParam, &result);
    return result;
}

LRESULT CparvelleDlg::OnChangeUiState(WPARAM wParam, LPARAM) {
    // The top-level window decides for all of its windows, as Windows' own
    // handling does; only the focus cues are the program's concern.
    const WORD action = LOWORD(wParam);
    if ((HIWORD(wParam) & UISF_HIDEFOCUS) == 0 || (action != UIS_CLEAR && action != UIS_SET))
        return 0;
    if ((action == UIS_CLEAR) != elements.focusCues())
        SpreadUiState(m_hWnd, MAKEWPARAM(action, UISF_HIDEFOCUS));
    return 0;
}
