#include "app/statistics_tap.h"

#include <windows.h>

#include <string>

#include "config/local_config.h"
#include "net/http.h"
#include "store/api_url.h"

namespace {

constexpr int kBufferSize = 1024;
constexpr int kTimeoutSeconds = 5;

}  // namespace

bool SendStatisticsTap(int storeType) {
    std::string url = ApiUrl("statisticsTap", {{"mac", localConfig.machineId},
                                               {"action_type", 1},
                                               {"type", storeType},
                                               {"channel", localConfig.channel}});
    OutputDebugStringA(url.c_str());
    char buffer[kBufferSize] = {};
    int length = kBufferSize;
    return HttpGetToBuffer(url, buffer, &length, kTimeoutSeconds);
}
