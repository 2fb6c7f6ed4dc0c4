#pragma once
// What a skinned window draws, read out to screen readers: an IAccessible for
// the window's client area whose children are the elements the current view
// shows (name, role, state, place and default action), followed by the
// window's child windows. Everything about the window itself (its name,
// parent, place) comes from the system's standard object.
//
// A window keeps an AccessibleHost, answers WM_GETOBJECT with it and lists its
// elements through AccessibleSource. The objects handed out hold only a
// shared link the host cuts when the window goes, so an object a screen
// reader keeps answers CO_E_OBJNOTCONNECTED afterwards instead of reaching a
// freed window.
//
// A default action is posted to the window (WM_ACCESSIBLE_ACTION) rather
// than run inside the reader's call, which a message box would block; the
// window runs it only if it still names something the view shows.
//
// Nothing hidden acts, whoever asks: a node the source marks invisible, and
// every node while the window (or the window it belongs to) is hidden, reads
// as invisible with no default action, and a posted action naming it is
// dropped. The objects answer only on the window's own thread: a caller
// elsewhere reaches them through COM's marshalling (the user-interface thread
// initialises OLE) or gets RPC_E_WRONG_THREAD.
#include <windows.h>
#include <oleacc.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/drawn_elements.h"

// One thing a screen reader sees: an element, or a table's row or cell.
struct AccessibleNode {
    std::wstring name;
    LONG role = ROLE_SYSTEM_PUSHBUTTON;
    LONG state = 0;
    RECT rect{};                 // window client coordinates, logical
    std::wstring defaultAction;  // empty: nothing happens on a default action
    int action = -1;             // handed back to AccessibleSource::DoAccessibleAction
    std::vector<AccessibleNode> children;
};

class AccessibleSource {
public:
    // The role of the client area itself (a list, a table); 0 keeps the
    // standard object's.
    virtual LONG AccessibleRole() const { return 0; }
    // The value of the client area itself (a combo box's choice); false: none.
    virtual bool AccessibleValue(std::wstring& /*value*/) const { return false; }
    // What the current view shows, in reading order.
    virtual void ListAccessibleNodes(std::vector<AccessibleNode>& nodes) const = 0;
    // Does what a click on the node with `action` does.
    virtual void DoAccessibleAction(int action) = 0;
    // The window this one is part of though not its child (a pop-up list's
    // combo box): while it is hidden, so are this window's nodes.
    virtual HWND AccessibleAnchor() const { return nullptr; }

protected:
    ~AccessibleSource() = default;
};

// Posted to a skinned window by a default action: wParam is the action.
constexpr UINT WM_ACCESSIBLE_ACTION = WM_APP + 0x2A2;

// The node of one drawn element: its caption, the role of its kind, checked
// when it is a chosen choice, focusable when it acts, focused when `focused`,
// invisible when the element is hidden.
AccessibleNode ElementNode(const SkinElement& element, bool focused = false);
// Appends the nodes of the shown elements, in list order; the focused one
// reads as focused while `hwnd` holds the keyboard focus.
void AppendShownElements(const DrawnElements& elements, std::vector<AccessibleNode>& nodes,
                         HWND hwnd = nullptr);
// The child id of element `index` when the shown elements come first among
// the nodes; 0 when it is not shown.
LONG ShownElementChildId(const DrawnElements& elements, size_t index);

class AccessibleHost {
public:
    explicit AccessibleHost(AccessibleSource& source);
    ~AccessibleHost();
    AccessibleHost(const AccessibleHost&) = delete;
    AccessibleHost& operator=(const AccessibleHost&) = delete;

    // WM_GETOBJECT to `hwnd`: true with the client object in `result` for
    // OBJID_CLIENT; false for anything else, which the window leaves to its
    // default procedure.
    bool Answer(HWND hwnd, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // The whole WM_GETOBJECT handler of a window: the client object for
    // OBJID_CLIENT, the default procedure's answer for anything else.
    LRESULT OnGetObject(HWND hwnd, WPARAM wParam, LPARAM lParam);
    // Cuts every object handed out (the window is going).
    void Disconnect();
    // WM_ACCESSIBLE_ACTION to `hwnd`: does `action` when a node the view
    // shows now offers it as its default action; false (nothing done)
    // otherwise.
    bool RunPostedAction(HWND hwnd, WPARAM action);
    // The child id under which `hwnd`'s view lists `action` (the row holding
    // it, for a node inside a row); 0 when it lists none.
    LONG ChildIdOf(HWND hwnd, int action) const;

    struct Link;

private:
    AccessibleSource& source_;
    std::shared_ptr<Link> link_;
};

// WinEvents on a window's client object: its children changed (a view
// switch), child `childId` changed state, an alert (a view that reports an
// outcome appeared).
void NotifyViewChanged(HWND hwnd);
void NotifyChildStateChanged(HWND hwnd, LONG childId);
void NotifyAlert(HWND hwnd);
// The keyboard focus moved to child `childId` of `hwnd`'s client object.
void NotifyFocus(HWND hwnd, LONG childId);
