// Name lookup with an end: the system's resolver has time-outs of its own
// (5 s per server and try by default, 10 s and more against a name server
// that never answers), so the lookup runs on a thread of its own and the
// caller waits for it no longer than its deadline. A lookup given up on
// finishes by itself later and frees what it found.
#pragma once

#include <netdb.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace orlax::links::socket {

struct AddressListDeleter {
    void operator()(addrinfo* list) const { ::freeaddrinfo(list); }
};
using AddressList = std::unique_ptr<addrinfo, AddressListDeleter>;

enum class LookupResult {
    Ok,        // addresses found
    NotFound,  // the name does not resolve (or the resolver failed)
    TimedOut,  // no answer by the deadline
};

struct Lookup {
    LookupResult result = LookupResult::NotFound;
    AddressList addresses;
    std::string detail;  // the resolver's words, for an error text
};

// getaddrinfo's signature: a resolver that can stand in for it in tests.
using Resolver = std::function<int(const char* host, const char* service, const addrinfo* hints, addrinfo** found)>;

// Stream-socket addresses of HOST:PORT by `deadline`. A numeric address is
// taken at once, without a thread; a name goes to `resolve`.
Lookup LookUpBy(const std::string& host, std::uint16_t port, std::chrono::steady_clock::time_point deadline,
                const Resolver& resolve = ::getaddrinfo);

}  // namespace orlax::links::socket
