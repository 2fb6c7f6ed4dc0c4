#pragma once
// The window icon that server.ini's "icon" may name instead of the icon
// resource.

#include <windows.h>

#include <string>

// The icon in file dir\iconName at the system's default icon size, or null
// when iconName is empty, the file does not exist or is no icon: the window
// then keeps its resource icon. The caller owns the icon (DestroyIcon).
HICON LoadWindowIconFromConfig(const std::wstring& dir, const std::wstring& iconName);
