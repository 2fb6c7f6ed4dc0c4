#pragma once
// The mobile number the action button accepts.
#include <string_view>

// Room for the edit's text as narrow text: at most 30 characters.
constexpr int kMobileNumberBufferSize = 31;

// Exactly 11 ASCII digits, the first one "1". Whatever reaches the edit
// (typed, or pasted past its digits-only style) is judged by this alone.
bool IsValidMobileNumber(std::string_view text);
