#include "config/fill_local_config.h"

#include "config/channel.h"
#include "config/local_config.h"
#include "config/machine_id.h"
#include "config/module_paths.h"
#include "config/server_ini.h"

bool FillLocalConfig(LocalConfig& config) {
    if (!FillModulePaths(config)) {
        return false;
    }
    config.apiHost = ApiHostFromDomain(ReadServerDomain(config.moduleDirAnsi));
    config.caFile = ReadCaFile(config.moduleDir);
    config.machineId = ReadMachineId();
    if (config.machineId.empty()) {
        return false;
    }
    config.channel = ResolveChannel(FirstCommandLineArgument(), config.moduleDir);
    if (config.channel.empty()) {
        config.channel = "master";
    }
    return true;
}
