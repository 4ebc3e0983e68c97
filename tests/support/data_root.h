// A data root of its own for a test: <root>/Korvane/ORLAXPRO/ created empty,
// files put into it by name, everything removed at the end.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "support/temp_dir.h"

namespace orlax::testing {

class TempDataRoot {
public:
    TempDataRoot() { std::filesystem::create_directories(Folder()); }

    const std::string& Root() const { return root_; }
    // The device data folder, with its trailing slash, as the tool names it.
    std::string Folder() const { return root_ + "/Korvane/ORLAXPRO/"; }
    std::string PathOf(std::string_view name) const { return Folder() + std::string(name); }

    void Put(std::string_view name, std::span<const std::uint8_t> bytes) const {
        std::ofstream(PathOf(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    void Put(std::string_view name, std::string_view text) const {
        std::ofstream(PathOf(name), std::ios::binary) << text;
    }
    bool Exists(std::string_view name) const { return std::filesystem::exists(PathOf(name)); }
    std::string Read(std::string_view name) const {
        std::ifstream in(PathOf(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    TempDir dir_{"orlax-data"};
    std::string root_ = dir_.Path().string();
};

// `count` bytes of a pattern that shows any block out of place.
inline std::vector<std::uint8_t> PatternBytes(std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    return bytes;
}

}  // namespace orlax::testing
