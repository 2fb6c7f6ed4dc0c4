// winsock2.h first: iphlpapi.h pulls in the winsock headers.
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include "config/machine_id.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/text.h"

namespace {

constexpr unsigned kTypeEthernet = 6;   // MIB_IF_TYPE_ETHERNET
constexpr unsigned kTypeWireless = 71;  // IF_TYPE_IEEE80211

}  // namespace

std::string FormatHardwareAddress(const std::vector<unsigned char>& address) {
    std::string text;
    for (std::size_t i = 0; i < address.size(); ++i) {
        char part[4];
        std::snprintf(part, sizeof part, "%02x", address[i]);
        if (i > 0) {
            text += ':';
        }
        text += part;
    }
    return text;
}

bool IsPhysicalAdapter(const AdapterInfo& adapter) {
    if (adapter.type != kTypeEthernet && adapter.type != kTypeWireless) {
        return false;
    }
    std::string description = AsciiLower(adapter.description);
    for (const char* word : {"tap-", "vmware", "virtual"}) {
        if (description.find(word) != std::string::npos) {
            return false;
        }
    }
    return true;
}

std::string ChooseMachineId(const std::vector<AdapterInfo>& adapters) {
    for (const AdapterInfo& adapter : adapters) {
        // Type, the GBK ideographic comma, description; no line end.
        std::string line = std::to_string(adapter.type) + "\xA1\xA2" + adapter.description;
        OutputDebugStringA(line.c_str());
        if (IsPhysicalAdapter(adapter)) {
            return FormatHardwareAddress(adapter.address);
        }
    }
    return {};
}

std::vector<AdapterInfo> ListAdapters() {
    ULONG size = sizeof(IP_ADAPTER_INFO);
    std::vector<unsigned char> buffer(size, 0);
    DWORD result = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size);
    // The list may grow between the two calls: ask again a few times.
    for (int attempt = 0; result == ERROR_BUFFER_OVERFLOW && attempt < 4; ++attempt) {
        buffer.assign(size, 0);
        result = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size);
    }
    std::vector<AdapterInfo> adapters;
    if (result != NO_ERROR) {
        return adapters;
    }
    for (auto* a = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()); a != nullptr; a = a->Next) {
        AdapterInfo info;
        info.type = a->Type;
        info.description.assign(a->Description, strnlen(a->Description, sizeof a->Description));
        // A length beyond the record's address field would read other members.
        std::size_t length = std::min<std::size_t>(a->AddressLength, sizeof a->Address);
        info.address.assign(a->Address, a->Address + length);
        adapters.push_back(std::move(info));
    }
    return adapters;
}

std::string ReadMachineId() {
    return ChooseMachineId(ListAdapters());
}
