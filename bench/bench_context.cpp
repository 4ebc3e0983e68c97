#include "bench_context.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <charconv>
#include <filesystem>
#include <random>

namespace orlax::bench {
namespace {

constexpr std::array kFileSizes{kSendFileSize, kSmallFileSize, kLargeFileSize};

bool ParseCount(const std::string& text, int& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && value > 0;
}

// `size` bytes that no file system compresses or shares.
bool WriteRandomFile(const std::string& path, std::uint64_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    std::mt19937_64 random(size);
    std::array<std::uint64_t, 8192> block{};
    bool ok = true;
    for (std::uint64_t left = size; ok && left > 0;) {
        for (auto& word : block) word = random();
        const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(left, sizeof block));
        ok = ::write(fd, block.data(), take) == static_cast<ssize_t>(take);
        left -= take;
    }
    return ::close(fd) == 0 && ok;
}

}  // namespace

std::string BenchContext::DataRoot(std::uint64_t size) const {
    return workDir + "/data-" + std::to_string(size / kMiB) + "m";
}

std::string BenchContext::TestFile(std::uint64_t size) const {
    return DataRoot(size) + "/Korvane/ORLAXPRO/" + kTestFileName;
}

std::optional<BenchContext> ParseBenchOptions(const std::vector<std::string>& args, std::string& error) {
    BenchContext context;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (i + 1 >= args.size()) {
            error = "unknown option or missing value: " + option;
            return std::nullopt;
        }
        const std::string& value = args[++i];
        if (option == "--unit") {
            context.unitUri = "socket://" + value;
        } else if (option == "--queue") {
            context.queue = value;
        } else if (option == "--repetitions") {
            if (!ParseCount(value, context.repetitions)) {
                error = "--repetitions takes a count above 0, not '" + value + "'";
                return std::nullopt;
            }
        } else {
            error = "unknown option: " + option;
            return std::nullopt;
        }
    }
    return context;
}

bool MakeDeviceFiles(BenchContext& context, std::string& error) {
    std::string pattern = (std::filesystem::temp_directory_path() / "orlax-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        error = "cannot make a work folder under " + std::filesystem::temp_directory_path().string();
        return false;
    }
    context.workDir = pattern;
    for (const std::uint64_t size : kFileSizes) {
        std::error_code failed;
        std::filesystem::create_directories(context.DataRoot(size) + "/Korvane/ORLAXPRO", failed);
        if (failed || !WriteRandomFile(context.TestFile(size), size)) {
            error = "cannot write " + context.TestFile(size);
            return false;
        }
    }
    return true;
}

void RemoveDeviceFiles(const BenchContext& context) {
    std::error_code ignored;
    if (!context.workDir.empty()) std::filesystem::remove_all(context.workDir, ignored);
}

}  // namespace orlax::bench
