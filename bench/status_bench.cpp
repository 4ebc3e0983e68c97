// The status query: on the emulated spooler, over the network link to
// orlax-emulator, through a CUPS queue, and the bare TCP exchange that is
// the limit of the network link on this machine. The network figures and the
// bare exchange are taken in turn (paired_probes.h).
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include "bare_exchange.h"
#include "bench_context.h"
#include "bench_registry.h"
#include "link_session.h"
#include "paired_probes.h"
#include "clocks/real_clock.h"
#include "results_table.h"
#include "support/session.h"
#ifdef ORLAX_HAVE_CUPS
#include "cups/cups_queue_service.h"
#include "cups/cups_spooler.h"
#include "cups/fake_queue_service.h"
#include "links/socket/network_link.h"
#endif

namespace orlax::bench {
namespace {

constexpr const char* kEmulatedQueue = "Lumetra PRO";

void QueryEmulatedSpooler(benchmark::State& state) {
    testing::Session session;
    session.app.PrinterName() = kEmulatedQueue;
    for (auto _ : state) {
        if (!session.app.Link().GetDeviceStatus()) {
            state.SkipWithError("the emulated unit gave no status");
            return;
        }
    }
}

// A probe that runs GetDeviceStatus on `session`'s queue.
Probe QueryProbe(const char* counter, LinkSession& session) {
    return {counter, [&session](std::string& failure) {
                const auto took = Timed([&] { return static_cast<bool>(session.Link().GetDeviceStatus()); });
                if (!took) failure = "no status read";
                return took;
            }};
}

void NetworkRoundRobin(benchmark::State& state, const BenchContext& context) {
    BareReplyServer bare;
    if (!bare.Ok()) {
        state.SkipWithError("cannot listen on the loopback address");
        return;
    }
    std::vector<Probe> probes{{counter::kBare, [&bare](std::string& failure) {
                                   const auto took = Timed([&] { return BareExchange(bare.Port()) == kBareReplySize; });
                                   if (!took) failure = "the bare exchange did not get its 100 bytes";
                                   return took;
                               }}};
#ifdef ORLAX_HAVE_CUPS
    clocks::RealClock clock;
    // The network link alone: a queue the spooler knows without asking cupsd.
    auto service = std::make_unique<testing::FakeQueueService>();
    service->queues = {{"unit", context.unitUri}};
    cups::CupsSpooler linkSpooler(std::move(service));
    LinkSession linkSession(linkSpooler, clock, "unit");
    // The same client against the bare server: the tool's own share.
    auto bareService = std::make_unique<testing::FakeQueueService>();
    bareService->queues = {{"bare", "socket://127.0.0.1:" + std::to_string(bare.Port())}};
    cups::CupsSpooler bareSpooler(std::move(bareService));
    LinkSession bareSession(bareSpooler, clock, "bare");
    probes.push_back(QueryProbe(counter::kLinkQueryBare, bareSession));
    // The whole path: the queue is looked up in cupsd at each open.
    cups::CupsSpooler cupsSpooler(std::make_unique<cups::CupsQueueService>());
    LinkSession cupsSession(cupsSpooler, clock, context.queue);
    const auto unit = links::socket::ParseSocketUri(context.unitUri);
    if (unit) {
        probes.push_back(
            {counter::kLinkExchange, [&unit](std::string& failure) {
                 links::ReplyBuffer reply{};
                 const auto start = std::chrono::steady_clock::now();
                 const auto outcome = links::socket::ExchangeStatus(*unit, protocol::MakeStatusRequest(0), start + std::chrono::seconds(1), reply);
                 if (outcome.result != links::LinkResult::Ok || outcome.length != protocol::kStatusRecordSize) {
                     failure = "the exchange failed: " + outcome.detail;
                     return std::optional<std::chrono::nanoseconds>{};
                 }
                 return std::optional<std::chrono::nanoseconds>{std::chrono::steady_clock::now() - start};
             }});
        probes.push_back(QueryProbe(counter::kLinkQuery, linkSession));
    }
    if (!context.queue.empty()) probes.push_back(QueryProbe(counter::kCupsQuery, cupsSession));
#else
    (void)context;
#endif
    RunPaired(state, probes);
}

}  // namespace

void RegisterStatusBenchmarks(const BenchContext& context) {
    const int repetitions = context.repetitions;
    benchmark::RegisterBenchmark(name::kEmulatedQuery, QueryEmulatedSpooler)->Repetitions(repetitions);
    benchmark::RegisterBenchmark(name::kNetworkRoundRobin, NetworkRoundRobin, context)
        ->Repetitions(repetitions)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
}

}  // namespace orlax::bench
