#pragma once
// The start-up sequence: local configuration, machine identity, catalogue,
// branding, window settings and the statistics request, run once from the
// main window's initialisation before anything is shown.

#include <optional>
#include <string>
#include <vector>

#include "app/startup_window.h"
#include "config/machine_id.h"

// The process's inputs, replaceable for tests. Unset members come from the
// running process and the machine.
struct StartupInputs {
    std::optional<std::wstring> moduleDir;             // the executable's directory
    std::optional<std::wstring> firstArgument;         // the first command-line argument
    std::optional<std::vector<AdapterInfo>> adapters;  // the system's adapter list
};

// Fills localConfig, fetches the product list and, when that succeeded, the
// group configuration for the store type of server.ini, writes the window's
// store type, pay-type flag, title and icon, and sends the statistics request.
// False (the window must close) when the response buffer cannot be allocated,
// no adapter qualifies for the machine identity (then nothing is requested) or
// the catalogue stays empty. Blocks for as long as the requests take.
bool RunStartupSequence(StartupWindow& window, const StartupInputs& inputs = {});
