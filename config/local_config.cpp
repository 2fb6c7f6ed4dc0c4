#include "config/local_config.h"

#include <new>

LocalConfig localConfig;
std::string mobileNumber;

bool AllocateResponseBuffer(LocalConfig& config) {
    try {
        config.responseBuffer.assign(kResponseBufferSize, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}
