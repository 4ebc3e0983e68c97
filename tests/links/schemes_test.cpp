// The choice of a queue's status link by its device URI's scheme: the scheme
// is compared without case and up to its colon only; an empty URI, a scheme
// of no row and a malformed URI of a known scheme each give their own
// result; a scheme's maker is started once and serves every queue after.
#include "links/schemes.h"

#include <gtest/gtest.h>

#include "links/link_codes.h"
#include "links/socket/socket_scheme.h"
#include "platform/spooler_errors.h"

namespace orlax::links {
namespace {

// A scheme "fake" whose URIs are well formed unless they end in '!', counting
// how often its maker is started.
int fakeStarts = 0;

struct FakeLink final : StatusLink {
    Outcome Exchange(const protocol::StatusRequest&, Deadline, ReplyBuffer&) override { return {LinkResult::Ok, 0, {}}; }
};

struct FakeLinks final : LinkMaker {
    std::unique_ptr<StatusLink> Open(std::string_view uri) override {
        return uri.ends_with('!') ? nullptr : std::make_unique<FakeLink>();
    }
};

std::unique_ptr<LinkMaker> StartFakeLinks() {
    ++fakeStarts;
    return std::make_unique<FakeLinks>();
}

constexpr Scheme kSchemes[] = {socket::kScheme, {"fake", LinkResult::BadUsbUri, &StartFakeLinks}};

TEST(DeviceLinks, ChoosesTheLinkByTheUrisScheme) {
    struct Case {
        const char* uri;
        LinkResult result;  // Ok: a link
        std::uint32_t code;
    };
    const Case cases[] = {
        {"socket://10.0.0.7:9100", LinkResult::Ok, 0},
        {"SOCKET://unit-3", LinkResult::Ok, 0},
        {"fake://anything", LinkResult::Ok, 0},
        {"Fake:x", LinkResult::Ok, 0},
        {"", LinkResult::NoDeviceUri, platform::kErrorDeviceUriUnknown},
        {"ipp://10.0.0.7/ipp/print", LinkResult::NoStatusPath, platform::kErrorNoStatusPath},
        {"sockets://x", LinkResult::NoStatusPath, platform::kErrorNoStatusPath},
        {"fakes://x", LinkResult::NoStatusPath, platform::kErrorNoStatusPath},
        {"socket", LinkResult::NoStatusPath, platform::kErrorNoStatusPath},
        {"file:///dev/null", LinkResult::NoStatusPath, platform::kErrorNoStatusPath},
        {"socket://:9100", LinkResult::BadSocketUri, platform::kErrorBadDeviceUri},
        {"socket:garbage", LinkResult::BadSocketUri, platform::kErrorBadDeviceUri},
        {"fake://wrong!", LinkResult::BadUsbUri, platform::kErrorBadUsbUri},
    };
    fakeStarts = 0;
    DeviceLinks links(kSchemes);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.uri);
        const Chosen chosen = links.Choose(c.uri);
        EXPECT_EQ(chosen.link != nullptr, c.result == LinkResult::Ok);
        EXPECT_EQ(chosen.failure, c.result);
        EXPECT_EQ(CodeOf(chosen.failure), c.code);
        if (c.result != LinkResult::Ok && c.result != LinkResult::NoDeviceUri) {
            EXPECT_EQ(chosen.detail, c.uri) << "the error text names the URI";
        }
    }
    EXPECT_EQ(fakeStarts, 1) << "one maker serves every queue of its scheme";
}

}  // namespace
}  // namespace orlax::links
