#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "config/machine_id.h"

namespace {

// The Ethernet addresses of the Linux machine under Wine, read from
// /sys/class/net: what the system's adapter list must be made from.
std::set<std::string> HostEthernetAddresses() {
    std::set<std::string> addresses;
    const std::wstring dir = L"Z:\\sys\\class\\net\\";
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((dir + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return addresses;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        auto readLine = [&](const wchar_t* file) {
            char line[64] = {};
            if (FILE* f = _wfopen((dir + name + L"\\" + file).c_str(), L"rb")) {
                if (!std::fgets(line, sizeof line, f))
                    line[0] = 0;
                std::fclose(f);
            }
            std::string text = line;
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
                text.pop_back();
            return text;
        };
        // ARPHRD_ETHER; the loopback device is 772 and has the zero address.
        const std::string address = readLine(L"address");
        if (readLine(L"type") == "1" && address != "00:00:00:00:00:00" && !address.empty())
            addresses.insert(address);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return addresses;
}

AdapterInfo Adapter(unsigned type, const std::string& description,
                    std::vector<unsigned char> address = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e}) {
    AdapterInfo a;
    a.type = type;
    a.description = description;
    a.address = std::move(address);
    return a;
}

TEST(MachineId, FormatsEachByteAsTwoLowerCaseHexDigits) {
    EXPECT_EQ(FormatHardwareAddress({0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}), "00:1a:2b:3c:4d:5e");
    EXPECT_EQ(FormatHardwareAddress({0xff}), "ff");
    EXPECT_EQ(FormatHardwareAddress({1, 2, 3, 4, 5, 6, 7, 8}), "01:02:03:04:05:06:07:08");
    EXPECT_EQ(FormatHardwareAddress({}), "");
}

TEST(MachineId, SkipsVirtualAndNonEthernetAdapters) {
    std::vector<AdapterInfo> adapters = {
        Adapter(6, "TAP-Windows Adapter V9", {1, 1, 1, 1, 1, 1}),
        Adapter(6, "VMware Virtual Ethernet Adapter for VMnet8", {2, 2, 2, 2, 2, 2}),
        Adapter(6, "Hyper-V VIRTUAL Ethernet Adapter", {3, 3, 3, 3, 3, 3}),
        Adapter(24, "Software Loopback Interface 1", {4, 4, 4, 4, 4, 4}),
        Adapter(23, "WAN Miniport (PPP)", {5, 5, 5, 5, 5, 5}),
        Adapter(6, "Intel(R) Ethernet Connection I219-V", {0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0x0f}),
    };
    EXPECT_EQ(ChooseMachineId(adapters), "aa:bb:cc:dd:ee:0f");
}

TEST(MachineId, FirstQualifyingAdapterInListOrderWins) {
    std::vector<AdapterInfo> adapters = {
        Adapter(71, "Intel(R) Wi-Fi 6 AX201 160MHz", {0x10, 0, 0, 0, 0, 1}),
        Adapter(6, "Realtek PCIe GbE Family Controller", {0x20, 0, 0, 0, 0, 2}),
    };
    EXPECT_EQ(ChooseMachineId(adapters), "10:00:00:00:00:01");
    std::swap(adapters[0], adapters[1]);
    EXPECT_EQ(ChooseMachineId(adapters), "20:00:00:00:00:02");
}

TEST(MachineId, FirstQualifyingAdapterWithoutAddressGivesEmptyIdentity) {
    std::vector<AdapterInfo> adapters = {
        Adapter(6, "Realtek PCIe GbE Family Controller", {}),
        Adapter(6, "Intel(R) Ethernet Connection", {0x20, 0, 0, 0, 0, 2}),
    };
    EXPECT_EQ(ChooseMachineId(adapters), "");
}

TEST(MachineId, NoQualifyingAdapterGivesEmptyIdentity) {
    EXPECT_EQ(ChooseMachineId({}), "");
    EXPECT_EQ(ChooseMachineId({Adapter(6, "tap-something"), Adapter(71, "My vmware wifi")}), "");
}

TEST(MachineId, SystemListGivesOneOfTheMachinesEthernetAddresses) {
    // Under Wine the Linux Ethernet devices appear as Ethernet adapters, so
    // the identity is one of their addresses, in the same lower-case form.
    const std::set<std::string> host = HostEthernetAddresses();
    if (host.empty())
        GTEST_SKIP() << "no Ethernet device in /sys/class/net";
    const std::string id = ReadMachineId();
    EXPECT_EQ(host.count(id), 1u) << "identity \"" << id << "\"";
}

}  // namespace
