// The production record's line database on a PostgreSQL server of the
// run's own (as the db tests start it, on a Unix socket of this machine):
// what a passing FINAL CHECK spends on it beside the file alone, and how
// fast an outbox left by an outage drains once the server is back.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/burner_dlg.h"
#include "bench_context.h"
#include "bench_registry.h"
#include "linedb/line_database.h"
#include "report/record_outbox.h"
#include "results_table.h"
#include "support/passing_unit.h"
#include "support/pg_server.h"
#include "support/session.h"

namespace orlax::bench {
namespace {

constexpr const char* kEmulatedQueue = "Lumetra PRO";
constexpr std::size_t kOutageRows = 1000;
constexpr std::string_view kRecordLine =
    "000001,Not Set,09:41,03\\07\\2005,Not Set,099,0000001234,0000001240,0000,0000,0000,0000,0000,0000,0000,0000,"
    "0000,0000,000,000,000,200,000,180,\r\n";

// One server for the run, started when a benchmark first needs it.
testing::PgServer* Server(benchmark::State& state) {
    static std::unique_ptr<testing::PgServer> server;
    if (!server) {
        server = std::make_unique<testing::PgServer>();
        ::setenv("PGPASSFILE", server->PassFile(true).c_str(), 1);
    }
    if (!server->Ok()) {
        state.SkipWithError(("no PostgreSQL server: " + server->Failure()).c_str());
        return nullptr;
    }
    return server.get();
}

std::string MadeDataRoot(const BenchContext& context, const std::string& name) {
    const std::string root = context.workDir + "/" + name;
    std::filesystem::create_directories(root + "/Korvane/ORLAXPRO");
    std::ofstream(root + "/Korvane/ORLAXPRO/fdefault.fzp", std::ios::binary) << std::string(64 * 1024, '\x5A');
    return root;
}

// A passing FINAL CHECK whose record also goes to the line database.
void FinalCheckWithLineDatabase(benchmark::State& state, const BenchContext& context) {
    testing::PgServer* server = Server(state);
    if (!server) return;
    testing::Session session(testing::PassingScenario(), MadeDataRoot(context, "data-line-database"));
    session.app.PrinterName() = kEmulatedQueue;
    linedb::LineDatabase database(server->Conninfo(), [&] { return session.app.PrinterName(); }, {});
    std::size_t waiting = 0;
    database.Record().SetReporter([&](const report::SendReport& sent) { waiting += sent.waiting; });
    session.app.ProductionRecord().SetLineRecord(&database.Record());
    app::CBurnerDlg window(session.app);
    for (auto _ : state) window.OnFinalCheck();
    if (waiting) state.SkipWithError("rows were left waiting for the line database");
}

// The rows an outage of kOutageRows records left in the outbox, sent at once.
void OutboxDrain(benchmark::State& state, const BenchContext& context) {
    testing::PgServer* server = Server(state);
    if (!server) return;
    const std::string folder = MadeDataRoot(context, "data-outbox-drain") + "/Korvane/ORLAXPRO/";
    linedb::LineDatabase database(server->Conninfo(), [] { return std::string(kEmulatedQueue); }, {});
    const std::tm at{};
    const std::array<std::uint8_t, protocol::kStatusRecordSize> status{};
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (std::size_t i = 0; i < kOutageRows; ++i) database.Record().Keep(folder, kRecordLine, at, status);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const report::SendReport sent = database.Record().Send(folder, report::kSyncSendBound);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (sent.sent != kOutageRows || sent.waiting != 0) {
            state.SkipWithError(("the outbox did not drain: " + sent.failure).c_str());
            return;
        }
    }
    state.counters[counter::kDrainRate] = static_cast<double>(kOutageRows * state.iterations()) / seconds;
}

}  // namespace

void RegisterLineDatabaseBenchmarks(const BenchContext& context) {
    benchmark::RegisterBenchmark(name::kFinalCheckLineDatabase, FinalCheckWithLineDatabase, context)
        ->Repetitions(context.repetitions)
        ->UseRealTime();
    benchmark::RegisterBenchmark(name::kOutboxDrain, OutboxDrain, context)
        ->Repetitions(context.repetitions)
        ->Iterations(3)
        ->UseRealTime();
}

}  // namespace orlax::bench
