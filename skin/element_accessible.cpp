#include "skin/element_accessible.h"

#include <climits>
#include <utility>

#include "skin/display_scale.h"

struct AccessibleHost::Link {
    AccessibleSource* source = nullptr;
    HWND hwnd = nullptr;
};

namespace {

using Link = AccessibleHost::Link;

// oleacc.dll exports IID_IAccessible as data, which mingw-w64's import
// library links as a thunk address: the GUID is taken from the header instead.
const IID kIidAccessible = __uuidof(IAccessible);

LONG RoleOf(ElementRole role) {
    switch (role) {
        case ElementRole::Choice:
            return ROLE_SYSTEM_RADIOBUTTON;
        case ElementRole::Link:
            return ROLE_SYSTEM_LINK;
        case ElementRole::Graphic:
            return ROLE_SYSTEM_GRAPHIC;
        case ElementRole::Cell:
            return ROLE_SYSTEM_CELL;
        case ElementRole::PushButton:
        default:
            return ROLE_SYSTEM_PUSHBUTTON;
    }
}

const wchar_t* DefaultActionOf(ElementRole role) {
    switch (role) {
        case ElementRole::Choice:
            return L"选中";
        case ElementRole::Link:
            return L"跳转";
        default:
            return L"按下";
    }
}

BSTR CopyBstr(const std::wstring& text) {
    return ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

std::vector<HWND> ChildWindows(HWND hwnd) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(hwnd, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// What cannot be seen offers nothing to do: the node and everything in it.
void Conceal(AccessibleNode& node, bool hidden) {
    hidden = hidden || (node.state & STATE_SYSTEM_INVISIBLE) != 0;
    if (hidden) {
        node.state = (node.state | STATE_SYSTEM_INVISIBLE) &
                     ~(STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED);
        node.defaultAction.clear();
    }
    for (AccessibleNode& child : node.children)
        Conceal(child, hidden);
}

// The source's nodes, concealed where they cannot be seen: all of them while
// the window or the window it belongs to is hidden.
void ListSeenNodes(const AccessibleSource& source, HWND hwnd, std::vector<AccessibleNode>& nodes) {
    source.ListAccessibleNodes(nodes);
    const HWND anchor = source.AccessibleAnchor();
    const bool hidden =
        !::IsWindowVisible(hwnd) || (anchor != nullptr && !::IsWindowVisible(anchor));
    for (AccessibleNode& node : nodes)
        Conceal(node, hidden);
}

// The client object of one window, or (a non-empty path) one node with
// children below it, such as a table or a row. Every call lists the nodes
// afresh, so nothing it answers outlives the view it was read from.
class ElementAccessible final : public IAccessible {
public:
    ElementAccessible(std::shared_ptr<Link> link, std::vector<size_t> path)
        : link_(std::move(link)), path_(std::move(path)), thread_(::GetCurrentThreadId()) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (out == nullptr)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == kIidAccessible) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // A reader may hold and let go of the object on any thread.
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(::InterlockedIncrement(&refs_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = ::InterlockedDecrement(&refs_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch: no type information; screen readers call IAccessible.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (parent == nullptr)
            return E_POINTER;
        *parent = nullptr;
        View view;
        if (HRESULT hr = Read(view); FAILED(hr))
            return hr;
        if (path_.empty())
            return Standard(view, [&](IAccessible* s) { return s->get_accParent(parent); });
        std::vector<size_t> up(path_.begin(), path_.end() - 1);
        *parent = new ElementAccessible(link_, std::move(up));
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        if (count == nullptr)
            return E_POINTER;
        View view;
        if (HRESULT hr = Read(view); FAILED(hr))
            return hr;
        *count = static_cast<LONG>(view.nodes.size() + view.windows.size());
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (out == nullptr)
            return E_POINTER;
        *out = nullptr;
        View view;
        if (HRESULT hr = Read(view); FAILED(hr))
            return hr;
        const Target target = Find(view, child);
        if (target.kind == Target::Node) {
            if (view.nodes[target.index].children.empty())
                return S_FALSE;  // a simple child, answered by this object
            std::vector<size_t> down = path_;
            down.push_back(target.index);
            *out = new ElementAccessible(link_, std::move(down));
            return S_OK;
        }
        if (target.kind == Target::Window)
            return ::AccessibleObjectFromWindow(view.windows[target.index], OBJID_WINDOW,
                                                IID_IDispatch, reinterpret_cast<void**>(out));
        return E_INVALIDARG;
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return Text(child, name, &AccessibleNode::name,
                    [&](IAccessible* s, VARIANT v) { return s->get_accName(v, name); });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (value == nullptr)
            return E_POINTER;
        *value = nullptr;
        View view;
        if (HRESULT hr = Read(view); FAILED(hr))
            return hr;
        const Target target = Find(view, child);
        if (target.kind == Target::Self && path_.empty()) {
            std::wstring text;
            if (view.source->AccessibleValue(text)) {
                *value = CopyBstr(text);
                return *value ? S_OK : E_OUTOFMEMORY;
            }
        }
        return target.kind == Target::None ? E_INVALIDARG : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return Blank(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
        return Blank(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
        if (file)
            *file = nullptr;
        if (topic)
            *topic = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override {
        return Blank(child, text);
    }

    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (role == nullptr)
            return E_POINTER;
        ::VariantInit(role);
        View view;
        if (HRESULT hr = Read(view); FAILED(hr))
            return hr;
        const Target target = Find(view, child);
        switch (target.kind) {
            case Target::Self:
                if (!path_.empty()) {
                    role->vt = VT_I4;
                    role->lVal = view.self.role;
                    return S_OK;
                }
                if (const LONG own = view.source->AccessibleRole(); own != 0) {
                    role->vt = VT_I4;
                    role->lVal = own;
                    return S_OK;
                }
                return Standard(view, [&](IAccessible* s) { return s->get_accRole(child, role); });
            case Target::Node:
                role->vt = VT_I4;
                role->lVal = view.nodes[target.index].role;
                return S_OK;
            case Target::Window:
                return OfWindow(view, target,
                                [&](IAccessible* s, VARIANT v) { return s->get_accRole(v, role); });
            default:
                return E_INVALIDARG;
        }
    }

    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (state == nullptr)
            return E_POINTER;
        ::VariantInit(state);
        View view;
        if (HRESULT hr = Read(view); FAILED(hr))
            return hr;
        const Target target = Find(view, child);
        switch (target.kind) {
            case Target::Self:
                if (path_.empty())
                    return Standard(view,
                                    [&](IAccessible* s) { return s->get_accState(child, state); });
                state->vt = VT_I4;
                state->lVal = view.self.state;
                return S_OK;
            case Target::Node:
                state->vt = VT_I4;
                state->lVal = view.nodes[target.index].state;
                return S_OK;
            case Target::Window:
                return OfWindow(view, target, [&](IAccessible* s, VARIANT v) {
                    return s->get_accState(v, state);
                });
            default:
                return E_INVALIDARG;
        }
    }

    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (focus == nullptr)
            return E_POINTER;
        ::VariantInit(focus);
        View view;
        if (HRESULT hr = Read(view); FAILED(hr))
            return hr;
        for (size_t i = 0; i < view.nodes.size(); ++i) {
            if ((view.nodes[i].state & STATE_SYSTEM_FOCUSED) != 0) {
                focus->vt = VT_I4;
                focus->lVal = static_cast<LONG>(i + 1);
                return S_OK;
            }
        }
        if (path_.empty())
            return Standard(view, [&](IAccessible* s) { return s->get_accFocus(focus); });
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (selection == nullptr)
            return E_POINTER;
        ::VariantInit(selection);
        return S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return Text(child, action, &AccessibleNode::defaultAction,
                    [&](IAccessible* s, VARIANT v) { return s->get_accDefaultAction(v, action); });
    }

    HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }

    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        if (!left || !top || !width || !height)
            return E_POINTER;
        *left = *top = *width = *height = 0;
        View view;
        if (HRESULT hr = Read(view); FAILED(hr))
            return hr;
        const Target target = Find(view, child);
        const AccessibleNode* node = NodeOf(view, target);
        if (node != nullptr) {
            const RECT device = DisplayScale::Of(view.hwnd).ToDevice(node->rect);
            POINT origin{device.left, device.top};
            ::ClientToScreen(view.hwnd, &origin);
            *left = origin.x;
            *top = origin.y;
            *width = device.right - device.left;
            *height = device.bottom - device.top;
            return S_OK;
        }
        auto where = [&](IAccessible* s, VARIANT v) {
            return s->accLocation(left, top, width, height, v);
        };
        if (target.kind == Target::Self)
            return Standard(view, [&](IAccessible* s) { return where(s, child); });
        if (target.kind == Target::Window)
            return OfWindow(view, target, where);
        return E_INVALIDARG;
    }

    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        if (end == nullptr)
            return E_POINTER;
        ::VariantInit(end);
        View view;
        if (HRESULT hr = Read(view); FAILED(hr))
            return hr;
        const Target target = Find(view, start);
        const LONG count = static_cast<LONG>(view.nodes.size() + view.windows.size());
        LONG id = 0;
        if (target.kind == Target::Self) {
            if (direction == NAVDIR_FIRSTCHILD)
                id = 1;
            else if (direction == NAVDIR_LASTCHILD)
                id = count;
            else if (path_.empty())
                return Standard(
                    view, [&](IAccessible* s) { return s->accNavigate(direction, start, end); });
        } else if (target.kind != Target::None) {
            if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN || direction == NAVDIR_RIGHT)
                id = start.lVal + 1;
            else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP ||
                     direction == NAVDIR_LEFT)
                id = start.lVal - 1;
        } else {
            return E_INVALIDARG;
        }
        if (id < 1 || id > count)
            return S_FALSE;
        VARIANT next;
        next.vt = VT_I4;
        next.lVal = id;
        IDispatch* object = nullptr;
        if (get_accChild(next, &object) == S_OK && object != nullptr) {
            end->vt = VT_DISPATCH;
            end->pdispVal = object;
        } else {
            *end = next;
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* hit) override {
        if (hit == nullptr)
            return E_POINTER;
        ::VariantInit(hit);
        View view;
        if (HRESULT hr = Read(view); FAILED(hr))
            return hr;
        POINT p{x, y};
        ::ScreenToClient(view.hwnd, &p);
        p = LogicalClientPoint(view.hwnd, p);
        for (size_t i = 0; i < view.nodes.size(); ++i) {
            if (!::PtInRect(&view.nodes[i].rect, p))
                continue;
            VARIANT id;
            id.vt = VT_I4;
            id.lVal = static_cast<LONG>(i + 1);
            IDispatch* object = nullptr;
            if (get_accChild(id, &object) == S_OK && object != nullptr) {
                hit->vt = VT_DISPATCH;
                hit->pdispVal = object;
            } else {
                *hit = id;
            }
            return S_OK;
        }
        if (path_.empty())
            return Standard(view, [&](IAccessible* s) { return s->accHitTest(x, y, hit); });
        if (!::PtInRect(&view.self.rect, p))
            return S_FALSE;
        hit->vt = VT_I4;
        hit->lVal = CHILDID_SELF;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        View view;
        if (HRESULT hr = Read(view); FAILED(hr))
            return hr;
        const Target target = Find(view, child);
        const AccessibleNode* node = NodeOf(view, target);
        if (node != nullptr) {
            if (node->defaultAction.empty())
                return DISP_E_MEMBERNOTFOUND;
            // Run later by the window itself: an action that shows a message
            // box would hold the reader's call until the box closes.
            if (!::PostMessageW(view.hwnd, WM_ACCESSIBLE_ACTION, static_cast<WPARAM>(node->action),
                                0))
                return E_FAIL;
            return S_OK;
        }
        if (target.kind == Target::Self)
            return Standard(view, [&](IAccessible* s) { return s->accDoDefaultAction(child); });
        if (target.kind == Target::Window)
            return OfWindow(view, target,
                            [&](IAccessible* s, VARIANT v) { return s->accDoDefaultAction(v); });
        return E_INVALIDARG;
    }

    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    // What the object stands for at the moment of a call.
    struct View {
        AccessibleSource* source = nullptr;
        HWND hwnd = nullptr;
        AccessibleNode self;                // for a non-empty path
        std::vector<AccessibleNode> nodes;  // child ids 1..n
        std::vector<HWND> windows;          // child ids n+1.. (the window's own object only)
    };
    struct Target {
        enum Kind { None, Self, Node, Window } kind = None;
        size_t index = 0;
    };

    HRESULT Read(View& view) const {
        // The window, its view and the link belong to the thread that made
        // the object; a caller elsewhere that reached it unmarshalled (an
        // apartment the system put the window's thread in) is turned away.
        if (::GetCurrentThreadId() != thread_)
            return RPC_E_WRONG_THREAD;
        if (link_->source == nullptr || !::IsWindow(link_->hwnd))
            return CO_E_OBJNOTCONNECTED;
        view.source = link_->source;
        view.hwnd = link_->hwnd;
        ListSeenNodes(*view.source, view.hwnd, view.nodes);
        for (size_t index : path_) {
            // The view changed under a table or row object a reader kept.
            if (index >= view.nodes.size())
                return E_FAIL;
            view.self = std::move(view.nodes[index]);
            view.nodes = std::move(view.self.children);
            view.self.children.clear();
        }
        if (path_.empty())
            view.windows = ChildWindows(view.hwnd);
        return S_OK;
    }

    // The drawn element (or the table row this object stands for) that
    // `target` names; null for the window itself and for child windows.
    const AccessibleNode* NodeOf(const View& view, const Target& target) const {
        if (target.kind == Target::Node)
            return &view.nodes[target.index];
        if (target.kind == Target::Self && !path_.empty())
            return &view.self;
        return nullptr;
    }

    static Target Find(const View& view, const VARIANT& child) {
        Target target;
        if (child.vt != VT_I4)
            return target;
        if (child.lVal == CHILDID_SELF) {
            target.kind = Target::Self;
        } else if (child.lVal > 0) {
            const size_t index = static_cast<size_t>(child.lVal) - 1;
            if (index < view.nodes.size()) {
                target.kind = Target::Node;
                target.index = index;
            } else if (index - view.nodes.size() < view.windows.size()) {
                target.kind = Target::Window;
                target.index = index - view.nodes.size();
            }
        }
        return target;
    }

    // Asks the system's standard client object of the window.
    template <typename Ask>
    static HRESULT Standard(const View& view, Ask ask) {
        IAccessible* standard = nullptr;
        if (FAILED(::CreateStdAccessibleObject(view.hwnd, OBJID_CLIENT, kIidAccessible,
                                               reinterpret_cast<void**>(&standard))) ||
            standard == nullptr)
            return E_FAIL;
        const HRESULT hr = ask(standard);
        standard->Release();
        return hr;
    }

    // Asks the window object of child window `target` about itself.
    template <typename Ask>
    static HRESULT OfWindow(const View& view, const Target& target, Ask ask) {
        IAccessible* object = nullptr;
        if (FAILED(::AccessibleObjectFromWindow(view.windows[target.index], OBJID_WINDOW,
                                                kIidAccessible,
                                                reinterpret_cast<void**>(&object))) ||
            object == nullptr)
            return E_FAIL;
        VARIANT self;
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        const HRESULT hr = ask(object, self);
        object->Release();
        return hr;
    }

    template <typename Ask>
    HRESULT Text(VARIANT child, BSTR* out, std::wstring AccessibleNode::*field, Ask ask) {
        if (out == nullptr)
            return E_POINTER;
        *out = nullptr;
        View view;
        if (HRESULT hr = Read(view); FAILED(hr))
            return hr;
        const Target target = Find(view, child);
        const AccessibleNode* node = NodeOf(view, target);
        if (node != nullptr) {
            if ((node->*field).empty())
                return S_FALSE;
            *out = CopyBstr(node->*field);
            return *out ? S_OK : E_OUTOFMEMORY;
        }
        if (target.kind == Target::Self)
            return Standard(view, [&](IAccessible* s) { return ask(s, child); });
        if (target.kind == Target::Window)
            return OfWindow(view, target, ask);
        return E_INVALIDARG;
    }

    HRESULT Blank(VARIANT child, BSTR* out) {
        if (out == nullptr)
            return E_POINTER;
        *out = nullptr;
        View view;
        if (HRESULT hr = Read(view); FAILED(hr))
            return hr;
        return Find(view, child).kind == Target::None ? E_INVALIDARG : S_FALSE;
    }

    std::shared_ptr<Link> link_;
    std::vector<size_t> path_;
    const DWORD thread_;
    volatile LONG refs_ = 1;
};

}  // namespace

AccessibleNode ElementNode(const SkinElement& element, bool focused) {
    AccessibleNode node;
    node.name = element.name;
    node.role = RoleOf(element.role);
    if (!element.shown)
        node.state |= STATE_SYSTEM_INVISIBLE;
    if (element.role == ElementRole::Choice && element.hover)
        node.state |= STATE_SYSTEM_CHECKED;
    if (element.action >= 0)
        node.state |= STATE_SYSTEM_FOCUSABLE;
    if (focused)
        node.state |= STATE_SYSTEM_FOCUSED;
    node.rect = element.rect;
    node.defaultAction = DefaultActionOf(element.role);
    node.action = element.action;
    return node;
}

void AppendShownElements(const DrawnElements& elements, std::vector<AccessibleNode>& nodes,
                         HWND hwnd) {
    const bool hasFocus = HasKeyboardFocus(hwnd);
    for (size_t i = 0; i < elements.size(); ++i) {
        if (elements[i].shown)
            nodes.push_back(
                ElementNode(elements[i], hasFocus && elements.focused() == static_cast<int>(i)));
    }
}

LONG ShownElementChildId(const DrawnElements& elements, size_t index) {
    if (index >= elements.size() || !elements[index].shown)
        return 0;
    LONG id = 1;
    for (size_t i = 0; i < index; ++i)
        id += elements[i].shown ? 1 : 0;
    return id;
}

AccessibleHost::AccessibleHost(AccessibleSource& source)
    : source_(source), link_(std::make_shared<Link>()) {}

AccessibleHost::~AccessibleHost() {
    Disconnect();
}

bool AccessibleHost::Answer(HWND hwnd, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT || hwnd == nullptr)
        return false;
    link_->source = &source_;
    link_->hwnd = hwnd;
    auto* object = new ElementAccessible(link_, {});
    *result = ::LresultFromObject(kIidAccessible, wParam, object);
    object->Release();
    return true;
}

LRESULT AccessibleHost::OnGetObject(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (Answer(hwnd, wParam, lParam, &result))
        return result;
    return ::DefWindowProcW(hwnd, WM_GETOBJECT, wParam, lParam);
}

namespace {

bool OffersAction(const AccessibleNode& node, int action) {
    if (node.action == action && !node.defaultAction.empty())
        return true;
    for (const AccessibleNode& child : node.children) {
        if (OffersAction(child, action))
            return true;
    }
    return false;
}

}  // namespace

bool AccessibleHost::RunPostedAction(HWND hwnd, WPARAM action) {
    if (action > static_cast<WPARAM>(INT_MAX))
        return false;
    std::vector<AccessibleNode> nodes;
    ListSeenNodes(source_, hwnd, nodes);
    for (const AccessibleNode& node : nodes) {
        if (OffersAction(node, static_cast<int>(action))) {
            source_.DoAccessibleAction(static_cast<int>(action));
            return true;
        }
    }
    return false;
}

LONG AccessibleHost::ChildIdOf(HWND hwnd, int action) const {
    std::vector<AccessibleNode> nodes;
    ListSeenNodes(source_, hwnd, nodes);
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (OffersAction(nodes[i], action))
            return static_cast<LONG>(i + 1);
    }
    return 0;
}

void AccessibleHost::Disconnect() {
    link_->source = nullptr;
    link_->hwnd = nullptr;
    // A window made again later hands out objects of its own.
    link_ = std::make_shared<Link>();
}

void NotifyViewChanged(HWND hwnd) {
    ::NotifyWinEvent(EVENT_OBJECT_REORDER, hwnd, OBJID_CLIENT, CHILDID_SELF);
}

void NotifyChildStateChanged(HWND hwnd, LONG childId) {
    if (childId > 0)
        ::NotifyWinEvent(EVENT_OBJECT_STATECHANGE, hwnd, OBJID_CLIENT, childId);
}

void NotifyAlert(HWND hwnd) {
    ::NotifyWinEvent(EVENT_SYSTEM_ALERT, hwnd, OBJID_CLIENT, CHILDID_SELF);
}

void NotifyFocus(HWND hwnd, LONG childId) {
    if (childId > 0)
        ::NotifyWinEvent(EVENT_OBJECT_FOCUS, hwnd, OBJID_CLIENT, childId);
}
