#include "links/socket/name_lookup.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace orlax::links::socket {
namespace {

// What the lookup thread and its caller share. Whoever looks last frees
// the addresses: the caller takes them when the lookup finished in time,
// else the thread frees them itself.
struct Pending {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool abandoned = false;
    int status = 0;
    addrinfo* found = nullptr;
};

addrinfo Hints(int flags) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV | flags;
    return hints;
}

Lookup Finished(int status, addrinfo* found, const std::string& host) {
    if (status != 0) {
        if (found) ::freeaddrinfo(found);
        return {LookupResult::NotFound, nullptr, host + ": " + ::gai_strerror(status)};
    }
    return {LookupResult::Ok, AddressList(found), {}};
}

}  // namespace

Lookup LookUpBy(const std::string& host, std::uint16_t port, std::chrono::steady_clock::time_point deadline,
                const Resolver& resolve) {
    const std::string service = std::to_string(port);
    const addrinfo numeric = Hints(AI_NUMERICHOST);
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), service.c_str(), &numeric, &found) == 0) return Finished(0, found, host);

    auto pending = std::make_shared<Pending>();
    try {
        std::thread([pending, host, service, resolve] {
            const addrinfo hints = Hints(0);
            addrinfo* result = nullptr;
            const int status = resolve(host.c_str(), service.c_str(), &hints, &result);
            const std::lock_guard lock(pending->mutex);
            if (pending->abandoned) {
                if (result) ::freeaddrinfo(result);
                return;
            }
            pending->finished = true;
            pending->status = status;
            pending->found = result;
            pending->done.notify_one();
        }).detach();
    } catch (const std::system_error& error) {
        return {LookupResult::NotFound, nullptr, host + ": no thread for the name lookup (" + error.what() + ")"};
    }

    std::unique_lock lock(pending->mutex);
    if (!pending->done.wait_until(lock, deadline, [&] { return pending->finished; })) {
        pending->abandoned = true;
        return {LookupResult::TimedOut, nullptr, host + ": the name lookup did not finish in time"};
    }
    return Finished(pending->status, std::exchange(pending->found, nullptr), host);
}

}  // namespace orlax::links::socket
