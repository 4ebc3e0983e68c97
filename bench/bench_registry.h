// The benchmarks of each folder of the tool, registered with the options of
// the run.
#pragma once

namespace orlax::bench {

struct BenchContext;

void RegisterStatusBenchmarks(const BenchContext& context);
void RegisterReportBenchmarks(const BenchContext& context);
void RegisterFileBenchmarks(const BenchContext& context);
void RegisterProcessBenchmarks(const BenchContext& context);
void RegisterLineDatabaseBenchmarks(const BenchContext& context);

}  // namespace orlax::bench
