#include "store/statistics_tap.h"

#include "config/local_config.h"
#include "store/api_url.h"
#include "store/service_request.h"

namespace {

constexpr int kBufferSize = 1024;
constexpr int kTimeoutSeconds = 5;

}  // namespace

bool SendStatisticsTap(int storeType) {
    ServiceRequest request{ApiUrl("statisticsTap", {{"mac", localConfig.machineId},
                                                    {"action_type", 1},
                                                    {"type", storeType},
                                                    {"channel", localConfig.channel}}),
                           kBufferSize, kTimeoutSeconds};
    ServiceAnswer answer;
    return AskService(request, answer);
}
