#pragma once
// The adapter list of parvelle_test_inputs.exe, the test build of the
// program: given in the environment, so that the end-to-end tests can start
// the program on a machine "without a qualifying adapter" or with an identity
// of their own. Only read when the variable exists. The shipped program has
// no such input.
//
//   PARVELLE_TEST_ADAPTERS=none                           no adapter at all
//   PARVELLE_TEST_ADAPTERS="6,0a:00:27:00:00:01,Intel(R) Ethernet;71,..."
//
// Entries are separated by ";", each "type,address,description" with the
// address as hex bytes separated by ":" (the description may hold commas).
// A text without any valid entry ("none", or empty) means no adapter.
#include <optional>
#include <string_view>
#include <vector>

#include "config/machine_id.h"

constexpr wchar_t kAdapterOverrideVariable[] = L"PARVELLE_TEST_ADAPTERS";

// The adapters of an override text; malformed entries are skipped.
std::vector<AdapterInfo> ParseAdapterOverride(std::string_view text);

// The override from the environment, or nothing when the variable is unset.
std::optional<std::vector<AdapterInfo>> AdapterOverrideFromEnvironment();
