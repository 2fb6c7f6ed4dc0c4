#include "config/window_icon.h"

HICON LoadWindowIconFromConfig(const std::wstring& dir, const std::wstring& iconName) {
    if (iconName.empty()) {
        return nullptr;
    }
    std::wstring path = dir + L"\\" + iconName;
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return nullptr;
    }
    return static_cast<HICON>(
        LoadImageW(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE));
}
