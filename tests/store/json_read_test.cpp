// Reading the service's answers: envelope rule, member readers, text
// conversion and the catalogue records built from them.
#include "store/catalogue.h"
#include "store/json_read.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool EnvelopeOk(const char* text) {
    JsonDocument document = JsonParse(text);
    return ReadEnvelope(document.get()).ok();
}

TEST(Envelope, StatusCodeMustBeTheNumber1000) {
    EXPECT_TRUE(EnvelopeOk(R"({"status_code":1000,"data":[]})"));
    EXPECT_TRUE(EnvelopeOk(R"({"STATUS_CODE":1000})"));
    EXPECT_TRUE(EnvelopeOk(R"({"Status_Code":1000})"));
    EXPECT_FALSE(EnvelopeOk(R"({"status_code":"1000","data":[]})"));
    EXPECT_FALSE(EnvelopeOk(R"({"status_code":1001,"data":[]})"));
    EXPECT_FALSE(EnvelopeOk(R"({"data":[]})"));
    EXPECT_FALSE(EnvelopeOk(R"({"status_code":null})"));
    EXPECT_FALSE(EnvelopeOk(R"([{"status_code":1000}])"));
    EXPECT_FALSE(EnvelopeOk("<html>502</html>"));
    EXPECT_FALSE(EnvelopeOk(""));
}

TEST(Envelope, FirstMatchingKeyInDocumentOrderWins) {
    JsonDocument document =
        JsonParse(R"({"STATUS_CODE":1001,"status_code":1000,"Data":{"a":1},"message":"m"})");
    ServiceEnvelope envelope = ReadEnvelope(document.get());
    EXPECT_EQ(envelope.statusCode, 1001);
    ASSERT_NE(envelope.data, nullptr);
    EXPECT_EQ(JsonGetInt(envelope.data, "A"), 1);
    EXPECT_EQ(envelope.message, "m");
}

TEST(JsonReaders, AbsentNullOrMistypedMembersReadAsZeroOrEmpty) {
    JsonDocument document = JsonParse(
        R"({"desc":12,"price":"2900","n":null,"t":true,"arr":[1],"obj":{"x":1},"f":7.9,"big":1e12})");
    const cJSON* o = document.get();
    EXPECT_EQ(JsonGetString(o, "desc"), "");
    EXPECT_EQ(JsonGetInt(o, "price"), 0);
    EXPECT_EQ(JsonGetString(o, "n"), "");
    EXPECT_EQ(JsonGetInt(o, "n"), 0);
    EXPECT_EQ(JsonGetString(o, "t"), "");
    EXPECT_EQ(JsonGetString(o, "arr"), "");
    EXPECT_EQ(JsonGetString(o, "obj"), "");
    EXPECT_EQ(JsonGetInt(o, "f"), 7);
    EXPECT_EQ(JsonGetInt(o, "big"), 2147483647);
    EXPECT_EQ(JsonGetInt(o, "missing"), 0);
    EXPECT_EQ(JsonGetInt(nullptr, "price"), 0);
    EXPECT_EQ(JsonGetString(nullptr, "desc"), "");
    // Array elements have no key and never match.
    JsonDocument array = JsonParse(R"([1,"x"])");
    EXPECT_EQ(JsonFindMember(array.get(), ""), nullptr);
}

TEST(JsonReaders, NarrowTextKeepsTheBytesAsSent) {
    JsonDocument document = JsonParse(u8R"({"order_no":"单号-7 &x=1","u":"\u00e9"})");
    EXPECT_EQ(JsonGetString(document.get(), "ORDER_NO"), u8"单号-7 &x=1");
    EXPECT_EQ(JsonGetString(document.get(), "u"), "\xC3\xA9");
}

TEST(Utf8ToWide, ConvertsChineseAndStopsAtTheTerminator) {
    EXPECT_EQ(Utf8ToWide(u8"光影创意设计套件"), L"光影创意设计套件");
    EXPECT_EQ(Utf8ToWide(u8"月度会员（1个月）"), L"月度会员（1个月）");
    EXPECT_EQ(Utf8ToWide(u8"\U0001F600"), std::wstring(L"\xD83D\xDE00"));
    EXPECT_EQ(Utf8ToWide(""), L"");
    EXPECT_EQ(Utf8ToWide(std::string("ab\0cd", 5)), L"ab");
    // Invalid UTF-8 converts without error, as the system converter does.
    std::wstring invalid = Utf8ToWide(
        "a\xFF"
        "b");
    EXPECT_EQ(invalid.front(), L'a');
    EXPECT_EQ(invalid.back(), L'b');
}

TEST(CatalogueRecords, ProductWithPackagesInDocumentOrder) {
    JsonDocument document = JsonParse(
        u8R"({
        "id": 3, "NAME": "产品", "sta": 1, "type": 3, "product_img": "https://p/x.png",
        "gift": "礼", "desc": 5, "explain": "说明", "shop_url": "https://s/3",
        "version": [
          {"id": 31, "product_id": 3, "price": 2900, "source_price": 5900, "name": "月度",
           "link_url": "https://d/31", "format_price": "29.00", "package_img": "https://i/31",
           "package_img2": "https://i2/31", "title_1": "甲", "title_2": "乙",
           "package_detail": "详情", "help_title": "帮助", "help_desc": "描述",
           "help_link_url": "https://h/31"},
          {"id": 32, "price": "7900", "name": null},
          7
        ]})");
    ProductRecord product = ReadProductRecord(document.get());
    EXPECT_EQ(product.id, 3);
    EXPECT_EQ(product.name, L"产品");
    EXPECT_EQ(product.type, 3);
    EXPECT_EQ(product.productImg, "https://p/x.png");
    EXPECT_EQ(product.desc, L"");
    EXPECT_EQ(product.explain, L"说明");
    EXPECT_EQ(product.shopUrl, "https://s/3");
    EXPECT_EQ(product.productImage, nullptr);
    ASSERT_EQ(product.packages.size(), 3u);
    const PackageRecord& first = product.packages[0];
    EXPECT_EQ(first.id, 31);
    EXPECT_EQ(first.productId, 3);
    EXPECT_EQ(first.price, 2900);
    EXPECT_EQ(first.sourcePrice, 5900);
    EXPECT_EQ(first.name, L"月度");
    EXPECT_EQ(first.linkUrl, "https://d/31");
    EXPECT_EQ(first.formatPrice, L"29.00");
    EXPECT_EQ(first.packageImg, "https://i/31");
    EXPECT_EQ(first.packageImg2, "https://i2/31");
    EXPECT_EQ(first.title1, L"甲");
    EXPECT_EQ(first.title2, L"乙");
    EXPECT_EQ(first.packageDetail, L"详情");
    EXPECT_EQ(first.helpTitle, L"帮助");
    EXPECT_EQ(first.helpDesc, L"描述");
    EXPECT_EQ(first.helpLinkUrl, L"https://h/31");
    EXPECT_EQ(first.payStatus, 0);
    EXPECT_EQ(product.packages[1].price, 0);
    EXPECT_EQ(product.packages[1].name, L"");
    // A package that is no object becomes an empty record.
    EXPECT_EQ(product.packages[2].id, 0);
}

TEST(CatalogueRecords, NoVersionOrNoObjectGivesNoPackages) {
    JsonDocument noVersion = JsonParse(R"({"id":1,"name":"x"})");
    EXPECT_TRUE(ReadProductRecord(noVersion.get()).packages.empty());
    JsonDocument emptyVersion = JsonParse(R"({"id":1,"version":[]})");
    EXPECT_TRUE(ReadProductRecord(emptyVersion.get()).packages.empty());
    JsonDocument number = JsonParse("42");
    ProductRecord fromNumber = ReadProductRecord(number.get());
    EXPECT_EQ(fromNumber.id, 0);
    EXPECT_TRUE(fromNumber.name.empty());
    EXPECT_TRUE(fromNumber.packages.empty());
}

}  // namespace
