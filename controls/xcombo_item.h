#pragma once
// One entry of the combo box's drop list.
#include <windows.h>

#include <cstdint>
#include <string>

struct XComboItem {
    std::int32_t hot = 0;  // 1 while hovered, or after a programmatic selection
    RECT rect{};           // row inside the drop window, rewritten at every paint
    std::wstring text;
    std::int32_t value = 0;  // the owner's value (a package id)
};
