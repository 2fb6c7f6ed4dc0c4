#pragma once
// The keyboard's way through a view: an ordered list of stops, each a drawn
// element of a skinned window or a child window (an edit, a combo box) that
// takes the focus itself. The window that owns the view lists the stops in
// reading order; Tab and Shift+Tab walk them, wrapping round. A group of
// elements (the pay methods, the pager cells) is one stop, as a group of
// radio buttons is: Tab enters it at its chosen element, and the arrow keys
// walk inside it.
//
// A skinned window takes part by answering WM_FOCUS_ELEMENT (sent): it takes
// the keyboard focus and marks element wParam focused (-1: none), and by
// running a posted WM_ACCESSIBLE_ACTION as a click on that element.
#include <windows.h>

#include <climits>
#include <vector>

class AccessibleHost;
class DrawnElements;

// Sent to a skinned window: focus its element wParam (an index into its
// elements; WPARAM(-1) for none), taking the keyboard focus.
constexpr UINT WM_FOCUS_ELEMENT = WM_APP + 0x2A1;

struct FocusStop {
    HWND window = nullptr;
    int element = -1;      // index in the window's elements; -1: the window itself
    int action = -1;       // what a press does (the element's action)
    int group = 0;         // stops of one window with the same non-zero group: one stop
    bool focused = false;  // the window's focused element is this one
    bool choice = false;   // an arrow key that reaches it also chooses it
    bool chosen = false;   // the group's chosen element (a checked method, the current page)
};

// The stop that has the keyboard focus `focus`: a window stop whose window
// is `focus` or holds it, or an element stop of `focus` marked focused; -1
// when none has it.
int CurrentFocusStop(const std::vector<FocusStop>& stops, HWND focus);

// The stop after (forward) or before `current`, wrapping round; from -1 the
// first (forward) or the last. -1 when there are no stops.
int NextFocusStop(int count, int current, bool forward);

// Where Tab (forward) or Shift+Tab goes from `current`: the next stop past
// the current one's group; a group is entered at its chosen stop, or at its
// first when none is chosen. -1 when there are no stops.
int TabFocusStop(const std::vector<FocusStop>& stops, int current, bool forward);

// The stop after or before `current` within its group (same window and
// group), wrapping round inside the group; -1 when `current` is in none.
int ArrowFocusStop(const std::vector<FocusStop>& stops, int current, bool forward);

// Appends the keyboard stops of `elements` (owned by `window`): the elements
// whose focus order lies from `first` to `last`, in that order (list order
// among equals), that the keyboard can reach (shown and acting, or a stop
// also while hidden) and whose views meet `views`; each stop takes its
// element's group. A window that has stops of other windows among its own
// (a table's rows) appends its ranges around them.
void AppendElementStops(std::vector<FocusStop>& stops, HWND window, const DrawnElements& elements,
                        int first = 1, int last = INT_MAX, unsigned views = ~0u);

// Moves the keyboard focus to `stop`: the window takes the focus and, for an
// element stop, marks the element.
void FocusOnStop(const FocusStop& stop);

// Focus cues show from now on in `hwnd`'s top-level window: the keyboard has
// been used (WM_CHANGEUISTATE UIS_CLEAR UISF_HIDEFOCUS to that window).
void ShowFocusCues(HWND hwnd);

// The top-level window's side of WM_CHANGEUISTATE: sends WM_UPDATEUISTATE to
// `root` and every window inside it, as Windows does (Wine leaves it out).
void SpreadUiState(HWND root, WPARAM wParam);

// What a skinned window does with the focus messages, in its message
// handling before anything else: WM_FOCUS_ELEMENT, WM_SETFOCUS (kept by the
// window itself: a dialog's default would hand it to a control),
// WM_KILLFOCUS (default processing follows), WM_UPDATEUISTATE and
// WM_ACCESSIBLE_ACTION. True when the message is answered (`result` set).
bool HandleElementFocus(HWND hwnd, DrawnElements& elements, AccessibleHost& accessible,
                        UINT message, WPARAM wParam, LRESULT* result);

// In a skinned window's message map (before the entries that may see the
// same messages): its focus messages, by HandleElementFocus.
#define ON_ELEMENT_FOCUS(elements, accessible)                                        \
    if (HandleElementFocus(m_hWnd, elements, accessible, message, wParam, pResult)) { \
        return TRUE;                                                                  \
    }
