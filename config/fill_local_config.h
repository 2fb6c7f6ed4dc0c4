#pragma once
// The part of start-up that needs no network, in its fixed order.

struct LocalConfig;

// Module paths (deleting an old QR image), API host from "domain", CA file from
// "ca_file", machine identity, then the channel ("master" when none is found).
// False, with the later fields left unset, when no adapter qualifies for the
// machine identity. The caller hands caFile to the transport
// (SetTrustedCaFile) before the first request.
bool FillLocalConfig(LocalConfig& config);
