// The main window's rules that need no window: what a press reaches, the drag
// zone, the mobile number, the product picture's height and the adapter list
// of the test build.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "app/main_elements.h"
#include "app/mobile_number.h"
#include "app/store_front_paint.h"
#include "resource.h"
#include "skin/drawn_elements.h"
#include "tests/e2e/adapter_override.h"

namespace {

DrawnElements TableElements() {
    DrawnElements elements;
    for (const SkinElementRecord& r : kMainElementRecords) {
        SkinElement e;
        e.rect = RECT{r.left, r.top, r.right, r.bottom};
        e.action = static_cast<int>(elements.size());
        elements.Add(nullptr, std::move(e));
    }
    return elements;
}

int Hit(int x, int y) {
    return TableElements().ActionAt(POINT{x, y});
}

}  // namespace

// A press reaches the button drawn under it, edges counting on the left and
// top only.
TEST(MainElements, PressesReachTheButtonDrawnUnderThem) {
    const struct {
        int x, y, element, picture;
    } presses[] = {
        {770, 0, kElementClose, IDP_CLOSE},
        {793, 23, kElementClose, IDP_CLOSE},
        {740, 10, kElementMinimise, IDP_MINIMISE},
        {763, 23, kElementMinimise, IDP_MINIMISE},
        {656, 0, kElementMyOrders, IDP_ORDERS},
        {719, 23, kElementMyOrders, IDP_ORDERS},
        {581, 10, kElementService, IDP_SERVICE},
        {644, 23, kElementService, IDP_SERVICE},
        {769, 492, kElementOfficialSite, IDP_OFFICIAL_TAB},
        {799, 551, kElementOfficialSite, IDP_OFFICIAL_TAB},
        {280, 492, kElementActivate, IDP_ACTIVATE},
        {499, 571, kElementActivate, IDP_ACTIVATE},
    };
    for (const auto& p : presses) {
        const int hit = Hit(p.x, p.y);
        ASSERT_EQ(p.element, hit) << p.x << "," << p.y;
        EXPECT_EQ(p.picture, kMainElementRecords[hit].pictureId) << p.x << "," << p.y;
    }
    // Right and bottom edges, the gaps between buttons (the one between the
    // drag zone and the service caption too) and the product picture.
    for (POINT p :
         {POINT{794, 10}, POINT{764, 10}, POINT{720, 10}, POINT{645, 10}, POINT{580, 10},
          POINT{769, 552}, POINT{768, 500}, POINT{500, 530}, POINT{279, 530}, POINT{400, 300}})
        EXPECT_EQ(-1, Hit(p.x, p.y)) << p.x << "," << p.y;
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
