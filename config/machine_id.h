#pragma once
// The machine identity: the hardware address of the first physical wired or
// wireless adapter, as the store service's customer key.

#include <string>
#include <vector>

struct AdapterInfo {
    unsigned type = 0;                   // MIB_IF_TYPE_ETHERNET (6), IF_TYPE_IEEE80211 (71), ...
    std::string description;             // as the system reports it (ANSI)
    std::vector<unsigned char> address;  // hardware address, as many bytes as its length says
};

// "00:1a:2b:3c:4d:5e": two lower-case hex digits per byte, ":" between bytes.
std::string FormatHardwareAddress(const std::vector<unsigned char>& address);

// True for an Ethernet or wireless adapter that is not a TAP, VMware or other
// virtual adapter (description compared without regard to ASCII case).
bool IsPhysicalAdapter(const AdapterInfo& adapter);

// The address of the first physical adapter in list order; empty when none
// qualifies (or when the first one that does has no address). Writes one
// diagnostic line per adapter looked at to the debugger output.
std::string ChooseMachineId(const std::vector<AdapterInfo>& adapters);

// The system's adapter list (GetAdaptersInfo); empty on failure.
std::vector<AdapterInfo> ListAdapters();

std::string ReadMachineId();
