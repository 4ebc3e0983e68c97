#include "spooler/unit_address.h"

#include <gtest/gtest.h>

#include "spooler/cups_queue_service.h"

namespace orlax::spooler {
namespace {

TEST(ParseSocketUri, FindsTheUnitsAddress) {
    struct Case {
        const char* uri;
        std::optional<UnitAddress> address;
    };
    const Case cases[] = {
        {"socket://192.168.1.20:9100", UnitAddress{"192.168.1.20", 9100}},
        {"socket://127.0.0.1:41000", UnitAddress{"127.0.0.1", 41000}},
        {"socket://unit-3.line.example", UnitAddress{"unit-3.line.example", 9100}},
        {"SOCKET://Unit_3:1", UnitAddress{"Unit_3", 1}},
        {"socket://[::1]:9100", UnitAddress{"::1", 9100}},
        {"socket://[fe80::1]", UnitAddress{"fe80::1", 9100}},
        {"socket://10.0.0.7:9100/?waiteof=false", UnitAddress{"10.0.0.7", 9100}},
        {"socket://10.0.0.7:9100?contimeout=30", UnitAddress{"10.0.0.7", 9100}},
        {"socket://user@10.0.0.7:9101", UnitAddress{"10.0.0.7", 9101}},
        {"socket://10.0.0.7:65535", UnitAddress{"10.0.0.7", 65535}},
        {"socket://10.0.0.7:0", std::nullopt},
        {"socket://10.0.0.7:65536", std::nullopt},
        {"socket://10.0.0.7:", std::nullopt},
        {"socket://10.0.0.7:91x0", std::nullopt},
        {"socket://10.0.0.7:-1", std::nullopt},
        {"socket://:9100", std::nullopt},
        {"socket://", std::nullopt},
        {"socket:/10.0.0.7", std::nullopt},
        {"socket://[::1", std::nullopt},
        {"socket://[::1]x", std::nullopt},
        {"socket://[]:9100", std::nullopt},
        {"socket://bad host:9100", std::nullopt},
        {"socket://a%20b:9100", std::nullopt},
        {"ipp://10.0.0.7:631/ipp/print", std::nullopt},
        {"usb://Maker/Model", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseSocketUri(c.uri), c.address) << c.uri;
}

TEST(IsSocketUri, LooksOnlyAtTheScheme) {
    EXPECT_TRUE(IsSocketUri("socket://10.0.0.7:9100"));
    EXPECT_TRUE(IsSocketUri("Socket://"));
    EXPECT_TRUE(IsSocketUri("socket:garbage"));
    EXPECT_FALSE(IsSocketUri("ipp://10.0.0.7/ipp/print"));
    EXPECT_FALSE(IsSocketUri("sockets://x"));
    EXPECT_FALSE(IsSocketUri("file:///dev/null"));
    EXPECT_FALSE(IsSocketUri("socket"));
}

TEST(IsCupsQueueName, RefusesWhatCupsCannotName) {
    EXPECT_TRUE(IsCupsQueueName("orlax"));
    EXPECT_TRUE(IsCupsQueueName("Line_3-unit.7"));
    EXPECT_TRUE(IsCupsQueueName(std::string(127, 'q')));
    EXPECT_FALSE(IsCupsQueueName(std::string(128, 'q')));
    EXPECT_FALSE(IsCupsQueueName(""));
    EXPECT_FALSE(IsCupsQueueName("Lumetra PRO"));
    EXPECT_FALSE(IsCupsQueueName("a\tb"));
    EXPECT_FALSE(IsCupsQueueName("a/b"));
    EXPECT_FALSE(IsCupsQueueName("a\\b"));
    EXPECT_FALSE(IsCupsQueueName("a#b"));
    EXPECT_FALSE(IsCupsQueueName(std::string("a\0b", 3)));
    EXPECT_FALSE(IsCupsQueueName("a\x7f"));
}

}  // namespace
}  // namespace orlax::spooler
