#pragma once
// The combo box's private message, always posted:
//   wParam 1  drop list -> combo: an item was chosen; lParam is a heap copy of
//             its text issued through ComboChoicePosts(), which the combo
//             redeems (anything else in lParam is ignored)
//   wParam 2  drop list -> combo: the mouse left the list; close it, lParam 0
//   wParam 0  combo -> its parent: the selection changed, lParam 0; read the
//             drop window's selectedIndex
#include <windows.h>

#include <string>

#include "base/posted_records.h"

constexpr UINT WM_COMBO_SELECT = 0x25B1;

constexpr WPARAM kComboChanged = 0;
constexpr WPARAM kComboChosen = 1;
constexpr WPARAM kComboClose = 2;

// The chosen texts in flight from drop lists to their combo boxes.
inline PostedRecords<std::wstring>& ComboChoicePosts() {
    static PostedRecords<std::wstring> posts;
    return posts;
}
