// The device URI schemes through which a unit's status is read, and the
// choice of a queue's link by its device URI. Each scheme is a folder of its
// own (links/socket, links/usb) that gives its row; the table of rows is its
// user's (the CUPS spooler's).
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "links/link_result.h"
#include "links/status_link.h"

namespace orlax::links {

// Makes the links of one scheme. One maker serves every queue of a spooler,
// so that what a scheme learns of its units (which USB device is which)
// lasts from one queue's opening to the next.
class LinkMaker {
public:
    virtual ~LinkMaker() = default;
    // The link to the unit that `uri` names; nullptr when the URI is malformed.
    virtual std::unique_ptr<StatusLink> Open(std::string_view uri) = 0;
};

struct Scheme {
    std::string_view name;  // as in a URI, before "://"; compared without case
    LinkResult malformed;   // what a malformed URI of this scheme gives
    std::unique_ptr<LinkMaker> (*start)();
};

// A queue's link, or why it has none.
struct Chosen {
    std::unique_ptr<StatusLink> link;
    LinkResult failure = LinkResult::Ok;  // when there is no link
    std::string detail;                   // the URI, for the error text
};

class DeviceLinks {
public:
    explicit DeviceLinks(std::span<const Scheme> schemes);
    ~DeviceLinks();
    DeviceLinks(const DeviceLinks&) = delete;
    DeviceLinks& operator=(const DeviceLinks&) = delete;

    // The link for a device URI: none for an empty URI (NoDeviceUri), a
    // scheme not in the table (NoStatusPath) or a malformed URI (the
    // scheme's own result).
    Chosen Choose(std::string_view uri);

private:
    std::span<const Scheme> schemes_;
    std::vector<std::unique_ptr<LinkMaker>> makers_;  // one per scheme, started at its first queue
};

// Whether the URI's scheme is `scheme` (in any case).
bool HasScheme(std::string_view uri, std::string_view scheme);

}  // namespace orlax::links
