// AfxRegisterWndClass: generated window classes with the framework's procedure.
#include "framework/afxwnd.h"

#include <cwchar>
#include <mutex>
#include <set>
#include <string>

#include "framework/afxapp.h"

LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon) {
    static std::mutex lock;
    static std::set<std::wstring> names;  // the returned pointers stay valid

    HINSTANCE hInst = AfxGetInstanceHandle();
    wchar_t name[96];
    if (hCursor == nullptr && hbrBackground == nullptr && hIcon == nullptr) {
        std::swprintf(name, 96, L"Afx:%p:%x", static_cast<void*>(hInst), nClassStyle);
    } else {
        std::swprintf(name, 96, L"Afx:%p:%x:%p:%p:%p", static_cast<void*>(hInst), nClassStyle,
                      static_cast<void*>(hCursor), static_cast<void*>(hbrBackground),
                      static_cast<void*>(hIcon));
    }

    std::lock_guard<std::mutex> guard(lock);
    WNDCLASSW existing{};
    if (!::GetClassInfoW(hInst, name, &existing)) {
        WNDCLASSW wc{};
        wc.style = nClassStyle;
        wc.lpfnWndProc = AfxWndProc;
        wc.hInstance = hInst;
        wc.hIcon = hIcon;
        wc.hCursor = hCursor;
        wc.hbrBackground = hbrBackground;
        wc.lpszClassName = name;
        if (!::RegisterClassW(&wc)) {
            return nullptr;
        }
    }
    return names.insert(name).first->c_str();
}
