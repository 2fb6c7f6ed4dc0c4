#include <gtest/gtest.h>

#include "config/machine_id.h"

namespace {

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

TEST(MachineId, SystemListGivesAnAddressInTheSameForm) {
    // Under Wine eth0 appears as an Ethernet adapter; a machine without one
    // gives the empty identity.
    std::string id = ReadMachineId();
    for (std::size_t i = 0; i < id.size(); ++i) {
        if (i % 3 == 2) {
            EXPECT_EQ(id[i], ':') << id;
        } else {
            EXPECT_TRUE(isxdigit(static_cast<unsigned char>(id[i])) && !isupper(id[i])) << id;
        }
    }
    EXPECT_NE(id.size() % 3, 1u) << id;
}

}  // namespace
