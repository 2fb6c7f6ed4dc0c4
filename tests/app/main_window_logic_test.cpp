// The main window's rules that need no window: the element table and its hit
// order, the drag zone, the mobile number, the product picture's height and
// the adapter list of the test build.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "app/main_elements.h"
#include "app/mobile_number.h"
#include "app/store_front_paint.h"
#include "skin/drawn_elements.h"
#include "tests/e2e/adapter_override.h"

namespace {

DrawnElements TableElements() {
    DrawnElements elements;
    for (const SkinElementRecord& r : kMainElementRecords) {
        SkinElement e;
        e.rect = RECT{r.left, r.top, r.right, r.bottom};
        e.action = static_cast<int>(elements.size());
        elements.Add(std::move(e));
    }
    return elements;
}

int Hit(int x, int y) {
    return TableElements().ActionAt(POINT{x, y});
}

}  // namespace

TEST(MainElements, TableHoldsTheSixButtonsInOrder) {
    const int expected[kMainElementCount][5] = {
        {133, 770, 0, 794, 24}, {134, 740, 0, 764, 24},    {166, 656, 0, 720, 24},
        {164, 581, 0, 645, 24}, {165, 769, 492, 801, 552}, {163, 280, 492, 500, 572},
    };
    for (int i = 0; i < kMainElementCount; ++i) {
        const SkinElementRecord& r = kMainElementRecords[i];
        EXPECT_EQ(expected[i][0], r.pictureId) << i;
        EXPECT_EQ(expected[i][1], r.left) << i;
        EXPECT_EQ(expected[i][2], r.top) << i;
        EXPECT_EQ(expected[i][3], r.right) << i;
        EXPECT_EQ(expected[i][4], r.bottom) << i;
    }
}

TEST(MainElements, PressesFindTheirButtonEdgesIncludedLeftAndTopOnly) {
    EXPECT_EQ(kElementClose, Hit(770, 0));
    EXPECT_EQ(kElementClose, Hit(793, 23));
    EXPECT_EQ(-1, Hit(794, 10));
    EXPECT_EQ(kElementMinimise, Hit(740, 10));
    EXPECT_EQ(-1, Hit(764, 10));
    EXPECT_EQ(kElementMyOrders, Hit(656, 0));
    EXPECT_EQ(kElementService, Hit(581, 10));
    EXPECT_EQ(-1, Hit(580, 10));  // no button between the drag zone and the service caption
    EXPECT_EQ(-1, Hit(645, 10));
    EXPECT_EQ(kElementOfficialSite, Hit(799, 500));
    EXPECT_EQ(-1, Hit(769, 552));
    EXPECT_EQ(kElementActivate, Hit(280, 492));
    EXPECT_EQ(kElementActivate, Hit(499, 571));
    EXPECT_EQ(-1, Hit(500, 530));
    EXPECT_EQ(-1, Hit(400, 300));
}

TEST(MainElements, DragZoneIsTheTitleStripLeftOfTheButtons) {
    EXPECT_TRUE(InMainDragZone(POINT{0, 0}, 800));
    EXPECT_TRUE(InMainDragZone(POINT{579, 10}, 800));
    EXPECT_TRUE(InMainDragZone(POINT{579, 23}, 800));
    EXPECT_FALSE(InMainDragZone(POINT{580, 10}, 800));
    EXPECT_FALSE(InMainDragZone(POINT{300, 24}, 800));
    EXPECT_FALSE(InMainDragZone(POINT{-1, 10}, 800));
    // The zone follows the client width.
    EXPECT_TRUE(InMainDragZone(POINT{679, 10}, 900));
}

TEST(MobileNumber, ElevenAsciiDigitsBeginningWithOne) {
    EXPECT_TRUE(IsValidMobileNumber("13800138000"));
    EXPECT_TRUE(IsValidMobileNumber("10000000000"));
    EXPECT_TRUE(IsValidMobileNumber("19999999999"));
    EXPECT_FALSE(IsValidMobileNumber(""));
    EXPECT_FALSE(IsValidMobileNumber("1380013800"));    // 10 digits
    EXPECT_FALSE(IsValidMobileNumber("138001380001"));  // 12 digits
    EXPECT_FALSE(IsValidMobileNumber("23800138000"));   // first digit 2
    // Pasted text gets past the edit's digits-only style.
    EXPECT_FALSE(IsValidMobileNumber("1380013800a"));
    EXPECT_FALSE(IsValidMobileNumber("1-800-13800"));
    EXPECT_FALSE(IsValidMobileNumber("1380013800 "));
    EXPECT_FALSE(
        IsValidMobileNumber("1\xef\xbc\x93"
                            "8001380"));  // full-width digit
    EXPECT_FALSE(
        IsValidMobileNumber(std::string_view("13800\0"
                                             "13800",
                                             11)));
}

TEST(ProductPicture, KeepsItsAspectAtTheDrawnWidth) {
    EXPECT_EQ(412u, ProductPictureHeight(802, 800, 411));
    EXPECT_EQ(200u, ProductPictureHeight(802, 400, 100));
    EXPECT_EQ(0u, ProductPictureHeight(802, 0, 100));  // a picture that failed to decode
    EXPECT_EQ(0u, ProductPictureHeight(802, 900, 1));
    // A very tall picture: 802 * H overflows 32 bits, yet the height must not
    // wrap round to a small one (32-bit arithmetic gives 8,958,176 here).
    EXPECT_EQ(1082700000u, ProductPictureHeight(802, 4, 5400000));
    // Beyond what GDI+ can take: the largest size it draws.
    EXPECT_EQ(2147483647u, ProductPictureHeight(802, 1, 5400000));
    EXPECT_EQ(2147483647u, ProductPictureHeight(802, 1, 0xFFFFFFFFu));
}

TEST(AdapterOverride, ParsesEntriesAndSkipsMalformedOnes) {
    std::vector<AdapterInfo> a = ParseAdapterOverride(
        "6,0a:00:27:00:00:01,Intel(R) Ethernet, 2nd port;71,AA:bb:cc:dd:ee:ff,Wireless;"
        "x,00:11,Bad type;6,0g:00,Bad hex;6,00:11:,Trailing colon;6,,Empty;6,001122,No colons");
    ASSERT_EQ(2u, a.size());
    EXPECT_EQ(6u, a[0].type);
    EXPECT_EQ("Intel(R) Ethernet, 2nd port", a[0].description);
    EXPECT_EQ((std::vector<unsigned char>{0x0a, 0x00, 0x27, 0x00, 0x00, 0x01}), a[0].address);
    EXPECT_EQ(71u, a[1].type);
    EXPECT_EQ((std::vector<unsigned char>{0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff}), a[1].address);
    EXPECT_TRUE(ParseAdapterOverride("none").empty());
    EXPECT_TRUE(ParseAdapterOverride("").empty());
}

TEST(AdapterOverride, ComesFromTheEnvironmentOnlyWhenSet) {
    ASSERT_TRUE(SetEnvironmentVariableW(kAdapterOverrideVariable, nullptr));
    EXPECT_FALSE(AdapterOverrideFromEnvironment().has_value());
    ASSERT_TRUE(SetEnvironmentVariableW(kAdapterOverrideVariable, L"none"));
    std::optional<std::vector<AdapterInfo>> none = AdapterOverrideFromEnvironment();
    ASSERT_TRUE(none.has_value());
    EXPECT_TRUE(none->empty());
    ASSERT_TRUE(SetEnvironmentVariableW(kAdapterOverrideVariable, L"6,00:01:02:03:04:05,Eth"));
    std::optional<std::vector<AdapterInfo>> one = AdapterOverrideFromEnvironment();
    ASSERT_TRUE(one.has_value());
    ASSERT_EQ(1u, one->size());
    EXPECT_EQ("00:01:02:03:04:05", ChooseMachineId(*one));
    SetEnvironmentVariableW(kAdapterOverrideVariable, nullptr);
}
