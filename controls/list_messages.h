#pragma once
// The history table's private message, posted to its parent when a row's
// button is clicked: wParam the row index, lParam 0.
#include <windows.h>

constexpr UINT WM_HISTORY_ROW_OPEN = 0x776;
