// The group configuration request: its URL, the members it stores and the
// logo file that is replaced at every call.
#include <windows.h>
#include <gdiplus.h>

#include <string>

#include "config/local_config.h"
#include "store/group_config.h"
#include "store/store_state.h"
#include "tests/store/store_sim_fixture.h"

namespace {

class GroupConfigTest : public StoreSimTest {
protected:
    void SetUp() override {
        StoreSimTest::SetUp();
        // The fixture frees the pictures of records kept in storeState.
        storeState.products.emplace_back();
    }
    ProductRecord& product() { return storeState.products.front(); }
    std::string File(const std::wstring& name) const {
        std::string bytes;
        dir_.ReadFile(name, &bytes);
        return bytes;
    }
    // As at the end of a process: the picture lets go of its file.
    void ReleaseLogo() {
        ClearStoreState();
        storeState.products.emplace_back();
    }
};

TEST_F(GroupConfigTest, StoresTheMembersAndReplacesTheLogoFileEachTime) {
    ASSERT_TRUE(dir_.WriteFile(L"2.bin", "an old logo"));
    ASSERT_TRUE(FetchGroupConfig(2, product()));
    EXPECT_EQ(product().logoUrl, PictureUrl("logo_2.png"));
    EXPECT_EQ(storeState.customerServiceUrl, sim_.url() + "/kf/2");
    EXPECT_EQ(product().word1, L"正版授权 · 官方渠道");
    EXPECT_EQ(product().word2, L"扫码支付 · 即时到账");
    EXPECT_EQ(product().word3, L"七天无忧 · 售后保障");
    EXPECT_EQ(product().step3, L"支付成功后即可复制下载链接与激活码");
    EXPECT_EQ(product().navigation, L"首页|套餐|我的订单|联系客服");
    ASSERT_NE(product().logoImage, nullptr);
    EXPECT_GT(product().logoImage->GetWidth(), 0u);

    std::vector<SimLogEntry> log = Requests();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].url, LoggedUrl(sim_.info(), "/api/ps/getGroupConfig?type=2"));
    EXPECT_EQ(log[1].url, PictureUrl("logo_2.png"));
    EXPECT_EQ(File(L"2.bin"), PictureBytes("logo_2.png"));

    // The next start downloads it again.
    ReleaseLogo();
    Mark();
    ASSERT_TRUE(FetchGroupConfig(2, product()));
    EXPECT_EQ(Requests("picture").size(), 1u);
    EXPECT_NE(product().logoImage, nullptr);
}

TEST_F(GroupConfigTest, WithoutLogoTheTextsAreStillStored) {
    ASSERT_TRUE(dir_.WriteFile(L"9.bin", "an old logo"));
    AnswerWith("getGroupConfig",
               R"({"status_code":1000,"data":{"KF":"https://kf/9","word_1":"一","word_2":2,)"
               R"("word_3":null,"step_3":"三","navigation":"导航"}})");
    EXPECT_FALSE(FetchGroupConfig(9, product()));
    EXPECT_TRUE(product().logoUrl.empty());
    EXPECT_EQ(product().logoImage, nullptr);
    EXPECT_FALSE(dir_.Exists(L"9.bin"));
    EXPECT_EQ(storeState.customerServiceUrl, "https://kf/9");
    EXPECT_EQ(product().word1, L"一");
    EXPECT_EQ(product().word2, L"");
    EXPECT_EQ(product().word3, L"");
    EXPECT_EQ(product().step3, L"三");
    EXPECT_EQ(product().navigation, L"导航");
}

TEST_F(GroupConfigTest, ALogoThatIsUnreachableOrNoPictureLeavesNoFile) {
    ASSERT_TRUE(dir_.WriteFile(L"9.bin", "an old logo"));
    AnswerWith("getGroupConfig",
               R"({"status_code":1000,"data":{"logo":"https://localhost:1/logo.png"}})");
    EXPECT_TRUE(FetchGroupConfig(9, product()));
    EXPECT_EQ(product().logoImage, nullptr);
    EXPECT_FALSE(dir_.Exists(L"9.bin"));

    // Downloaded, but refused by the loader.
    ASSERT_TRUE(sim_.AddFault(
        R"({"request":"picture","kind":"body","body":"II*\u0000 not a logo","count":1})"));
    AnswerWith("getGroupConfig",
               R"({"status_code":1000,"data":{"logo":")" + PictureUrl("logo_1.png") + R"("}})");
    EXPECT_TRUE(FetchGroupConfig(9, product()));
    EXPECT_EQ(product().logoImage, nullptr);
    EXPECT_FALSE(dir_.Exists(L"9.bin"));
}

TEST_F(GroupConfigTest, AFailedRequestChangesNothing) {
    const char* failing[] = {
        R"({"status_code":"1000","data":{"logo":"x","kf":"k","word_1":"w"}})",
        R"({"status_code":1003,"message":"店铺类型不存在","data":[]})",
        R"({"status_code":1000})",
        "not json",
    };
    for (const char* body : failing) {
        Mark();
        AnswerWith("getGroupConfig", body);
        EXPECT_FALSE(FetchGroupConfig(9, product())) << body;
        EXPECT_TRUE(product().logoUrl.empty()) << body;
        EXPECT_TRUE(product().word1.empty()) << body;
        EXPECT_TRUE(storeState.customerServiceUrl.empty()) << body;
        EXPECT_TRUE(Requests("picture").empty()) << body;
    }
    // An answer that does not fit the 4096-byte buffer fails too.
    ASSERT_TRUE(
        sim_.AddFault(R"({"request":"getGroupConfig","kind":"oversized","bytes":4096,"count":1})"));
    EXPECT_FALSE(FetchGroupConfig(1, product()));
    EXPECT_TRUE(product().logoUrl.empty());
}

}  // namespace
