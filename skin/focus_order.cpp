#include "skin/focus_order.h"

#include <algorithm>
#include <climits>

#include "skin/drawn_elements.h"
#include "skin/element_accessible.h"

int CurrentFocusStop(const std::vector<FocusStop>& stops, HWND focus) {
    if (focus == nullptr)
        return -1;
    for (size_t i = 0; i < stops.size(); ++i) {
        const FocusStop& stop = stops[i];
        if (stop.element < 0) {
            if (stop.window == focus || ::IsChild(stop.window, focus))
                return static_cast<int>(i);
        } else if (stop.window == focus && stop.focused) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int NextFocusStop(int count, int current, bool forward) {
    if (count <= 0)
        return -1;
    if (current < 0 || current >= count)
        return forward ? 0 : count - 1;
    return forward ? (current + 1) % count : (current + count - 1) % count;
}

namespace {

bool SameGroup(const FocusStop& a, const FocusStop& b) {
    return a.group != 0 && a.window == b.window && a.group == b.group;
}

}  // namespace

int TabFocusStop(const std::vector<FocusStop>& stops, int current, bool forward) {
    const int count = static_cast<int>(stops.size());
    if (count <= 0)
        return -1;
    const bool from = current >= 0 && current < count;
    int next = current;
    for (int step = 0; step < count; ++step) {
        next = NextFocusStop(count, next, forward);
        const FocusStop& stop = stops[static_cast<size_t>(next)];
        if (from && (next == current || SameGroup(stop, stops[static_cast<size_t>(current)])))
            continue;
        if (stop.group == 0)
            return next;
        // The group's entry: its chosen stop, else its first.
        int first = -1;
        for (int i = 0; i < count; ++i) {
            const FocusStop& member = stops[static_cast<size_t>(i)];
            if (!SameGroup(member, stop))
                continue;
            if (member.chosen)
                return i;
            if (first < 0)
                first = i;
        }
        return first;
    }
    return current;  // the current group is the only stop
}

int ArrowFocusStop(const std::vector<FocusStop>& stops, int current, bool forward) {
    const int count = static_cast<int>(stops.size());
    if (current < 0 || current >= count || stops[static_cast<size_t>(current)].group == 0)
        return -1;
    const FocusStop& from = stops[static_cast<size_t>(current)];
    int next = current;
    do {
        next = NextFocusStop(count, next, forward);
        const FocusStop& stop = stops[static_cast<size_t>(next)];
        if (stop.window == from.window && stop.group == from.group)
            return next;
    } while (next != current);
    return current;
}

void AppendElementStops(std::vector<FocusStop>& stops, HWND window, const DrawnElements& elements,
                        int first, int last, unsigned views) {
    std::vector<size_t> order;
    for (size_t i = 0; i < elements.size(); ++i) {
        const SkinElement& element = elements[i];
        const bool reachable =
            elements.Focusable(i) || (element.focusWhileHidden && element.action >= 0);
        if (element.focusOrder >= first && element.focusOrder <= last && element.focusOrder > 0 &&
            reachable && (element.views & views) != 0)
            order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(), [&elements](size_t a, size_t b) {
        return elements[a].focusOrder < elements[b].focusOrder;
    });
    for (size_t index : order) {
        const SkinElement& element = elements[index];
        FocusStop stop;
        stop.window = window;
        stop.element = static_cast<int>(index);
        stop.action = element.action;
        stop.group = element.group;
        stop.focused = elements.focused() == static_cast<int>(index);
        stop.choice = element.role == ElementRole::Choice;
        stop.chosen = !element.followsPointer && element.hover != 0;
        stops.push_back(stop);
    }
}

void FocusOnStop(const FocusStop& stop) {
    if (stop.window == nullptr)
        return;
    if (stop.element < 0)
        ::SetFocus(stop.window);
    else
        ::SendMessageW(stop.window, WM_FOCUS_ELEMENT, static_cast<WPARAM>(stop.element), 0);
}

void ShowFocusCues(HWND hwnd) {
    if (HWND root = ::GetAncestor(hwnd, GA_ROOT))
        ::SendMessageW(root, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

namespace {

BOOL CALLBACK UpdateChild(HWND child, LPARAM wParam) {
    ::SendMessageW(child, WM_UPDATEUISTATE, static_cast<WPARAM>(wParam), 0);
    return TRUE;
}

}  // namespace

void SpreadUiState(HWND root, WPARAM wParam) {
    ::SendMessageW(root, WM_UPDATEUISTATE, wParam, 0);
    ::EnumChildWindows(root, UpdateChild, static_cast<LPARAM>(wParam));
}

bool HandleElementFocus(HWND hwnd, DrawnElements& elements, AccessibleHost& accessible,
                        UINT message, WPARAM wParam, LRESULT* result) {
    auto announce = [&] {
        const int focused = elements.focused();
        if (focused >= 0 && HasKeyboardFocus(hwnd) &&
            elements.Focusable(static_cast<size_t>(focused)))
            NotifyFocus(hwnd,
                        accessible.ChildIdOf(hwnd, elements[static_cast<size_t>(focused)].action));
    };
    switch (message) {
        case WM_FOCUS_ELEMENT: {
            const int index =
                wParam <= static_cast<WPARAM>(INT_MAX) ? static_cast<int>(wParam) : -1;
            // Marked first: a window whose WM_SETFOCUS passes the focus on
            // when no element holds it sees the element it is to keep. That
            // WM_SETFOCUS announces the element; a window that had the focus
            // announces it here.
            const bool hadFocus = HasKeyboardFocus(hwnd);
            elements.SetFocused(hwnd, index);
            if (hadFocus)
                announce();
            else
                ::SetFocus(hwnd);
            *result = 0;
            return true;
        }
        case WM_SETFOCUS:
            elements.InvalidateFocus(hwnd);
            announce();
            *result = 0;
            return true;
        case WM_KILLFOCUS:
            elements.InvalidateFocus(hwnd);
            return false;
        case WM_UPDATEUISTATE:
            elements.OnUpdateUiState(hwnd, wParam);
            *result = 0;
            return true;
        case WM_ACCESSIBLE_ACTION:
            accessible.RunPostedAction(hwnd, wParam);
            *result = 0;
            return true;
        default:
            return false;
    }
}
