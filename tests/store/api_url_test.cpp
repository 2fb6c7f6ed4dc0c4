// Request URLs: the documented forms byte for byte, and no value able to add
// or change a parameter.
#include "store/api_url.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

// The query's name=value pairs, split as a server splits them.
std::multimap<std::string, std::string> QueryPairs(const std::string& url) {
    std::multimap<std::string, std::string> pairs;
    size_t start = url.find('?');
    if (start == std::string::npos)
        return pairs;
    std::string query = url.substr(start + 1);
    size_t pos = 0;
    while (pos <= query.size()) {
        size_t end = query.find('&', pos);
        if (end == std::string::npos)
            end = query.size();
        std::string pair = query.substr(pos, end - pos);
        size_t eq = pair.find('=');
        pairs.emplace(pair.substr(0, eq), eq == std::string::npos ? "" : pair.substr(eq + 1));
        pos = end + 1;
    }
    return pairs;
}

std::string PercentDecode(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

TEST(ApiUrl, DocumentedFormsStayByteForByte) {
    EXPECT_EQ(
        ApiUrl(
            "h", "statisticsTap",
            {{"mac", "00:11:22:33:44:55"}, {"action_type", 1}, {"type", 3}, {"channel", "master"}}),
        "https://h/api/ps/statisticsTap?mac=00:11:22:33:44:55&action_type=1&type=3&"
        "channel=master");
    EXPECT_EQ(ApiUrl("api.parvelle-pc.com", "getProductList",
                     {{"mac", "00:1a:2b:3c:4d:5e"}, {"type", 100}, {"channel", "ch_01.x-y"}}),
              "https://api.parvelle-pc.com/api/ps/getProductList?mac=00:1a:2b:3c:4d:5e&type=100&"
              "channel=ch_01.x-y");
    EXPECT_EQ(ApiUrl("localhost:8443", "getGroupConfig", {{"type", -1}}),
              "https://localhost:8443/api/ps/getGroupConfig?type=-1");
    EXPECT_EQ(ApiUrl("h", "orderList", {}), "https://h/api/ps/orderList");
}

TEST(ApiUrl, HostileValuesCannotAddOrChangeParameters) {
    const std::string hostile[] = {
        "a&type=99",
        "x=y",
        "1+1",
        "frag#ment",
        "100%",
        "two words",
        "\"q\"'s'",
        "line\r\nX: y",
        std::string("nul\0byte", 8),
        "\x7F\x01\x1F",
        u8"渠道",
        "\xFF\xFE",
        "a/b?c;d,e",
        "<>[]{}|\\^`@!$()*",
    };
    for (const std::string& value : hostile) {
        std::string url =
            ApiUrl("h", "createOrder",
                   {{"mac", value}, {"type", 1}, {"channel", value}, {"mobile", value}});
        auto pairs = QueryPairs(url);
        ASSERT_EQ(pairs.size(), 4u) << url;
        EXPECT_EQ(pairs.count("type"), 1u) << url;
        EXPECT_EQ(pairs.find("type")->second, "1") << url;
        EXPECT_EQ(PercentDecode(pairs.find("channel")->second), value) << url;
        EXPECT_EQ(url.find_first_of(" \"#\r\n\x7F"), std::string::npos) << url;
        for (unsigned char c : url)
            EXPECT_LT(c, 0x80u) << url;
    }
}

TEST(ApiUrl, EncodesEachUnsafeByteAsUpperCaseHex) {
    EXPECT_EQ(PercentEncode("a b&c=d+e#f%g"), "a%20b%26c%3Dd%2Be%23f%25g");
    EXPECT_EQ(PercentEncode(u8"中"), "%E4%B8%AD");
    EXPECT_EQ(PercentEncode("AZaz09-._~:"), "AZaz09-._~:");
    EXPECT_EQ(PercentEncode(""), "");
}

TEST(ApiUrl, LongValuesAreNeitherCutNorOverflowing) {
    std::string host(600, 'h');
    std::string channel(2000, 'c');
    std::string url = ApiUrl(host, "statisticsTap", {{"channel", channel}});
    EXPECT_EQ(url, "https://" + host + "/api/ps/statisticsTap?channel=" + channel);
}

}  // namespace
