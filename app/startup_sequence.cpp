#include "app/startup_sequence.h"

#include <windows.h>

#include "base/text.h"
#include "config/channel.h"
#include "config/data_folder.h"
#include "config/local_config.h"
#include "config/module_paths.h"
#include "config/server_ini.h"
#include "config/window_icon.h"
#include "net/http.h"
#include "store/catalogue.h"
#include "store/group_config.h"
#include "store/statistics_tap.h"
#include "store/store_state.h"

namespace {

bool FillPaths(LocalConfig& config, const StartupInputs& inputs) {
    if (!inputs.moduleDir) {
        return FillModulePaths(config);
    }
    config.moduleDir = *inputs.moduleDir;
    config.moduleDirAnsi = WideToAnsi(config.moduleDir);
    return FillDataFolders(config);
}

}  // namespace

bool RunStartupSequence(StartupWindow& window, const StartupInputs& inputs) {
    LocalConfig& config = localConfig;
    if (!AllocateResponseBuffer(config)) {
        return false;
    }
    HttpGlobalInit();
    if (!FillPaths(config, inputs)) {
        return false;
    }
    config.apiHost = ApiHostFromDomain(ReadServerDomain(config.moduleDir));
    config.caFile = ReadCaFile(config.moduleDir);
    // A store with a private certificate names its CA, for its own host only;
    // empty means the system store.
    SetTrustedCaFile(config.caFile, config.apiHost);

    config.machineId = inputs.adapters ? ChooseMachineId(*inputs.adapters) : ReadMachineId();
    if (config.machineId.empty()) {
        return false;
    }
    config.channel = inputs.firstArgument
                         ? ResolveChannel(*inputs.firstArgument, config.dataDir)
                         : ResolveChannel(FirstCommandLineArgument(), config.dataDir);
    if (config.channel.empty()) {
        config.channel = "master";
    }

    int storeType = ReadStoreType(config.moduleDir);
    window.SetStoreType(storeType);

    if (FetchProductList(storeType)) {
        FetchGroupConfig(storeType, storeState.products.front());
    }
    // The only check of the catalogue: a failed request leaves it empty.
    if (storeState.products.empty()) {
        return false;
    }
    config.currentProductName = storeState.products.front().name;

    window.SetTitle(ReadTitle(config.moduleDir));
    // Without a loadable icon file the window keeps its resource icon.
    if (HICON icon = LoadWindowIconFromConfig(config.moduleDir, ReadIconName(config.moduleDir))) {
        window.SetIcon(icon);
    }
    window.SetPayTypeIsFirst(ReadPayType(config.moduleDir) == 1);

    SendStatisticsTap(storeType);
    return true;
}
