#include "links/socket/unit_address.h"

#include <gtest/gtest.h>

namespace orlax::links::socket {
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

}  // namespace
}  // namespace orlax::links::socket
