// The start-up sequence end to end against the store simulator, with a test
// double of the main window: the requests in order with their exact URLs,
// what the window receives, and the failure rules.
#include <windows.h>
#include <gdiplus.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/startup_sequence.h"
#include "config/local_config.h"
#include "net/http.h"
#include "store/store_state.h"
#include "tests/store/store_sim_fixture.h"

namespace {

class FakeStartupWindow : public StartupWindow {
public:
    ~FakeStartupWindow() override {
        if (icon)
            DestroyIcon(icon);
    }
    void SetStoreType(int value) override { storeType = value; }
    void SetPayTypeIsFirst(bool value) override { payTypeIsFirst = value; }
    void SetTitle(const std::wstring& value) override { title = value; }
    void SetIcon(HICON value) override {
        if (icon)
            DestroyIcon(icon);
        icon = value;
        ++iconCalls;
    }

    std::optional<int> storeType;
    std::optional<bool> payTypeIsFirst;
    std::optional<std::wstring> title;
    HICON icon = nullptr;
    int iconCalls = 0;
};

AdapterInfo Adapter(unsigned type, const char* description, unsigned char last) {
    AdapterInfo adapter;
    adapter.type = type;
    adapter.description = description;
    adapter.address = {0x0a, 0x00, 0x27, 0x00, 0x05, last};
    return adapter;
}

// A 16 x 16 32-bit icon file.
std::string IconFileBytes() {
    const uint32_t size = 40 + 16 * 16 * 4 + 16 * 4;
    std::string bytes;
    auto put16 = [&](uint16_t v) { bytes.append(reinterpret_cast<const char*>(&v), 2); };
    auto put32 = [&](uint32_t v) { bytes.append(reinterpret_cast<const char*>(&v), 4); };
    put16(0), put16(1), put16(1);                                    // ICONDIR
    bytes += '\x10', bytes += '\x10', bytes += '\0', bytes += '\0';  // 16 x 16
    put16(1), put16(32), put32(size), put32(22);
    put32(40), put32(16), put32(32), put16(1), put16(32);  // BITMAPINFOHEADER
    put32(0), put32(16 * 16 * 4), put32(0), put32(0), put32(0), put32(0);
    for (int i = 0; i < 16 * 16; ++i)
        put32(0xFF2080C0);
    bytes.append(16 * 4, '\0');  // AND mask
    return bytes;
}

class StartupTest : public StoreSimTest {
protected:
    void SetUp() override {
        StoreSimTest::SetUp();
        inputs_.moduleDir = dir_.path();
        inputs_.firstArgument = L"";
        inputs_.adapters = std::vector<AdapterInfo>{
            Adapter(6, "VMware Virtual Ethernet Adapter", 0x01),
            Adapter(6, "Intel(R) Ethernet Connection", 0x02),
            Adapter(71, "Wireless", 0x03),
        };
    }
    // server.ini as UTF-16 with the simulator as host and its CA trusted.
    void WriteServerIni(const std::wstring& extraLines) {
        std::wstring ca = sim_.CaFileWide();
        const std::string narrowHost = apiHost();
        std::wstring host(narrowHost.begin(), narrowHost.end());
        ASSERT_TRUE(dir_.WriteFile(
            L"server.ini", Utf16FileBytes(L"[server]\r\ndomain=" + host + L"\r\nca_file=" + ca +
                                          L"\r\n" + extraLines)));
    }
    std::vector<std::string> RequestNames() const {
        std::vector<std::string> names;
        for (const SimLogEntry& entry : Requests())
            names.push_back(entry.name);
        return names;
    }

    StartupInputs inputs_;
    FakeStartupWindow window_;
};

TEST_F(StartupTest, RunsEndToEndAndFillsTheWindow) {
    WriteServerIni(L"type=2\r\ntitle=墨笔 商店\r\nicon=shop.ico\r\npay_type=2\r\n");
    ASSERT_TRUE(dir_.WriteFile(L"shop.ico", IconFileBytes()));
    ASSERT_TRUE(dir_.WriteFile(L"tmp.bin", "an old QR image"));
    ASSERT_TRUE(RunStartupSequence(window_, inputs_));

    EXPECT_EQ(window_.storeType, 2);
    EXPECT_EQ(window_.payTypeIsFirst, false);
    EXPECT_EQ(window_.title, L"墨笔 商店");
    EXPECT_EQ(window_.iconCalls, 1);
    EXPECT_NE(window_.icon, nullptr);

    EXPECT_EQ(localConfig.moduleDir, dir_.path());
    EXPECT_EQ(localConfig.qrImagePath, dir_.path() + L"\\tmp.bin");
    EXPECT_FALSE(dir_.Exists(L"tmp.bin"));
    EXPECT_EQ(localConfig.apiHost, apiHost());
    EXPECT_EQ(localConfig.machineId, "0a:00:27:00:05:02");
    EXPECT_EQ(localConfig.channel, "master");
    EXPECT_EQ(localConfig.currentProductName, L"墨笔PDF编辑器");
    EXPECT_EQ(localConfig.responseBuffer.size(), kResponseBufferSize);
    ASSERT_EQ(storeState.products.size(), 1u);
    EXPECT_EQ(storeState.products[0].packages.size(), 5u);
    EXPECT_NE(storeState.products[0].logoImage, nullptr);
    EXPECT_EQ(storeState.customerServiceUrl, sim_.url() + "/kf/2");

    std::vector<SimLogEntry> log = Requests();
    ASSERT_EQ(log.size(), 10u);
    EXPECT_EQ(log[0].url, LoggedUrl(sim_.info(),
                                    "/api/ps/getProductList?mac=0a:00:27:00:05:02&type=2&"
                                    "channel=master"));
    EXPECT_EQ(log[1].url, PictureUrl("product_2.png"));
    EXPECT_EQ(log[6].url, PictureUrl("pkg_205.png"));
    EXPECT_EQ(log[7].url, LoggedUrl(sim_.info(), "/api/ps/getGroupConfig?type=2"));
    EXPECT_EQ(log[8].url, PictureUrl("logo_2.png"));
    EXPECT_EQ(log[9].url, LoggedUrl(sim_.info(),
                                    "/api/ps/statisticsTap?mac=0a:00:27:00:05:02&action_type=1&"
                                    "type=2&channel=master"));
    for (const SimLogEntry& entry : log)
        EXPECT_EQ(entry.status, 200) << entry.url;
    EXPECT_TRUE(dir_.Exists(L"pdt_2.bin"));
    EXPECT_TRUE(dir_.Exists(L"2_201.bin"));
    EXPECT_TRUE(dir_.Exists(L"2.bin"));
}

TEST_F(StartupTest, DefaultsWithoutTitleIconOrPayType) {
    WriteServerIni(L"type=101\r\nicon=missing.ico\r\n");
    ASSERT_TRUE(RunStartupSequence(window_, inputs_));
    EXPECT_EQ(window_.storeType, 1);
    EXPECT_EQ(window_.payTypeIsFirst, true);
    EXPECT_EQ(window_.title, L"");
    EXPECT_EQ(window_.iconCalls, 0);
    EXPECT_EQ(localConfig.currentProductName, L"光影创意设计套件");
}

TEST_F(StartupTest, WithoutAQualifyingAdapterNothingIsRequested) {
    WriteServerIni(L"type=1\r\n");
    inputs_.adapters = std::vector<AdapterInfo>{
        Adapter(6, "TAP-Windows Adapter V9", 0x01),
        Adapter(71, "Microsoft Wi-Fi Direct VIRTUAL Adapter", 0x02),
        Adapter(24, "Software Loopback Interface 1", 0x03),
    };
    EXPECT_FALSE(RunStartupSequence(window_, inputs_));
    EXPECT_TRUE(Requests().empty());
    EXPECT_FALSE(window_.storeType.has_value());
    EXPECT_FALSE(window_.title.has_value());
    EXPECT_TRUE(storeState.products.empty());
}

TEST_F(StartupTest, AFailedProductListEndsTheStartBeforeAnyOtherRequest) {
    WriteServerIni(L"type=1\r\n");
    const char* failures[] = {
        R"({"status_code":1003,"message":"店铺类型不存在","data":[]})",
        R"({"status_code":1000,"data":[]})",
        "<html>502</html>",
    };
    for (const char* body : failures) {
        Mark();
        AnswerWith("getProductList", body);
        EXPECT_FALSE(RunStartupSequence(window_, inputs_)) << body;
        EXPECT_EQ(RequestNames(), std::vector<std::string>{"getProductList"}) << body;
        EXPECT_FALSE(window_.title.has_value());
        EXPECT_TRUE(storeState.products.empty());
    }
    // A connection dropped without an answer fails the same way, and nothing
    // follows it to the store. A new connection, as at a real start (a reused
    // one that drops is retried once).
    Mark();
    SetConnectionSharing(false);
    ASSERT_TRUE(sim_.AddFault(R"({"request":"getProductList","kind":"drop","count":1})"));
    EXPECT_FALSE(RunStartupSequence(window_, inputs_));
    SetConnectionSharing(true);
    EXPECT_EQ(RequestNames(), std::vector<std::string>{"getProductList"});
    // So does an unreachable host.
    ASSERT_TRUE(dir_.WriteFile(L"server.ini", "[server]\r\ndomain=localhost:1\r\n"));
    EXPECT_FALSE(RunStartupSequence(window_, inputs_));
}

TEST_F(StartupTest, AFailedGroupConfigurationDoesNotStopTheStart) {
    WriteServerIni(L"type=1\r\n");
    AnswerWith("getGroupConfig", R"({"status_code":1500,"message":"x","data":[]})");
    ASSERT_TRUE(RunStartupSequence(window_, inputs_));
    EXPECT_EQ(storeState.products.at(0).logoImage, nullptr);
    EXPECT_TRUE(storeState.customerServiceUrl.empty());
    std::vector<std::string> names = RequestNames();
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.back(), "statisticsTap");
}

TEST_F(StartupTest, AHangingStatisticsRequestIsAbandonedAfterItsTimeout) {
    WriteServerIni(L"type=1\r\n");
    ASSERT_TRUE(
        sim_.AddFault(R"({"request":"statisticsTap","kind":"hang","max_ms":30000,"count":1})"));
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(RunStartupSequence(window_, inputs_));
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    sim_.ClearFaults();
    // Bounded by its own 5-second limit, not by the 30 s the server would hold.
    EXPECT_LT(seconds, 12.0);
    EXPECT_EQ(Requests("statisticsTap").size(), 1u);
}

// The channel comes from the installer's registry record; whatever it holds
// reaches the service as one value.
TEST_F(StartupTest, AnOddChannelStaysOneQueryValue) {
    const std::wstring code = L"{PARVELLE-STARTUP-TEST}";
    const std::wstring key = L"SOFTWARE\\Caphyon\\Advanced Installer\\LZMA\\" + code;
    HKEY sub = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, (key + L"\\1.0").c_str(), 0, nullptr, 0,
                              KEY_WRITE, nullptr, &sub, nullptr),
              ERROR_SUCCESS);
    const char path[] = "C:\\Apps\\setup_a&type=9 #x+y.exe";
    RegSetValueExA(sub, "AI_ExePath", 0, REG_SZ, reinterpret_cast<const BYTE*>(path), sizeof path);
    RegCloseKey(sub);

    WriteServerIni(L"type=1\r\n");
    inputs_.firstArgument = code;
    bool started = RunStartupSequence(window_, inputs_);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
    ASSERT_TRUE(started);
    EXPECT_EQ(localConfig.channel, "a&type=9 #x+y");
    const std::string encoded = "channel=a%26type%3D9%20%23x%2By";
    std::vector<SimLogEntry> list = Requests("getProductList");
    std::vector<SimLogEntry> tap = Requests("statisticsTap");
    ASSERT_EQ(list.size(), 1u);
    ASSERT_EQ(tap.size(), 1u);
    EXPECT_EQ(list[0].query, "mac=0a:00:27:00:05:02&type=1&" + encoded);
    EXPECT_EQ(tap[0].query, "mac=0a:00:27:00:05:02&action_type=1&type=1&" + encoded);
    EXPECT_EQ(tap[0].status, 200);
}

}  // namespace
