// What every benchmark may need: where the network unit and the CUPS queue
// are (when the run has them), the files to send, the programs to launch and
// how many repetitions to make.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orlax::bench {

inline constexpr std::uint64_t kMiB = 1024 * 1024;
// The device file sizes: the send benchmarks use the first, the memory
// benchmarks compare the last two.
inline constexpr std::uint64_t kSendFileSize = 64 * kMiB;
inline constexpr std::uint64_t kSmallFileSize = 1 * kMiB;
inline constexpr std::uint64_t kLargeFileSize = 256 * kMiB;
// The device file that SEND TEST FILE sends.
inline constexpr const char* kTestFileName = "orlax.prn";

struct BenchContext {
    std::string unitUri;     // socket://HOST:PORT of an orlax-emulator; empty: none
    std::string queue;       // a CUPS raw queue to that unit; empty: none
    std::string workDir;     // data roots with the device files, made by the run
    std::string orlaxctl;    // programs launched by the start-up and memory benchmarks
    std::string peakRss;     // the helper that reports a program's peak memory
    std::string firstPaint;  // empty when the build has no desktop program
    int repetitions = 5;

    // The data root whose orlax.prn has `size` bytes.
    std::string DataRoot(std::uint64_t size) const;
    std::string TestFile(std::uint64_t size) const;
};

// Parses our own options (Google Benchmark has taken its own out already):
//   --unit HOST:PORT   --queue NAME   --repetitions N
// nullopt, with `error` set, for anything else.
std::optional<BenchContext> ParseBenchOptions(const std::vector<std::string>& args, std::string& error);

// Makes the work folder and the device files of every size. False, with
// `error` set, when they cannot be written.
bool MakeDeviceFiles(BenchContext& context, std::string& error);
void RemoveDeviceFiles(const BenchContext& context);

}  // namespace orlax::bench
