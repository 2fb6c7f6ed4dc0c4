#include "app/mobile_number.h"

bool IsValidMobileNumber(std::string_view text) {
    if (text.size() != 11 || text.front() != '1') {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}
