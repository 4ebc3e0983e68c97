#include "cups/prompt_delivery.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "util/format.h"

namespace orlax::cups {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDefaultDataFolder = "/usr/share/cups";
constexpr std::string_view kPromptEnd = "waiteof=false";
constexpr std::string_view kFileHeader =
    "# Written by orlax-station: ORLAX PRO units that CUPS's usb backend treats\n"
    "# as unidirectional, so that it ends each job as soon as the data is sent.\n";

bool LineMarks(const std::string& line, std::uint16_t vendor, std::uint16_t product) {
    if (line.empty() || line.front() == '#') return false;
    unsigned v = 0;
    unsigned p = 0;
    if (std::sscanf(line.c_str(), "%x%x", &v, &p) != 2) return false;
    return v == vendor && p == product && line.find(" unidir") != std::string::npos;
}

bool FileMarks(const fs::path& file, std::uint16_t vendor, std::uint16_t product) {
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);)
        if (LineMarks(line, vendor, product)) return true;
    return false;
}

}  // namespace

std::string QuirksFolder() {
    const char* data = std::getenv("CUPS_DATADIR");
    return std::string(data && *data ? data : kDefaultDataFolder) + "/usb";
}

std::string UnidirLine(std::uint16_t vendor, std::uint16_t product) {
    return util::FormatCut(32, "0x%04x 0x%04x unidir", unsigned{vendor}, unsigned{product});
}

bool MarksUnidir(const std::string& folder, std::uint16_t vendor, std::uint16_t product) {
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error))
        if (entry.is_regular_file(error) && FileMarks(entry.path(), vendor, product)) return true;
    return false;
}

bool CanWriteQuirks(const std::string& folder) {
    const fs::path file = fs::path(folder) / kQuirksFileName;
    std::error_code error;
    if (fs::exists(file, error)) return ::access(file.c_str(), W_OK) == 0 && ::access(folder.c_str(), W_OK) == 0;
    return ::access(folder.c_str(), W_OK) == 0;
}

bool AddUnidirLine(const std::string& folder, std::uint16_t vendor, std::uint16_t product, std::string& error) {
    const fs::path file = fs::path(folder) / kQuirksFileName;
    std::ostringstream text;
    if (std::ifstream in(file); in) {
        text << in.rdbuf();
    } else {
        text << kFileHeader;
    }
    std::string content = text.str();
    if (!content.empty() && content.back() != '\n') content += '\n';
    content += UnidirLine(vendor, product) + "\n";

    const fs::path temporary = fs::path(folder) / ("." + std::string(kQuirksFileName) + ".new");
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << content;
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            error = "cannot write " + temporary.string();
            return false;
        }
    }
    std::error_code renamed;
    fs::permissions(temporary, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                   fs::perms::others_read, renamed);
    fs::rename(temporary, file, renamed);
    if (renamed) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        error = "cannot write " + file.string() + ": " + renamed.message();
        return false;
    }
    return true;
}

bool EndsJobsPromptly(std::string_view socketUri) {
    const std::size_t query = socketUri.find('?');
    if (query == std::string_view::npos) return false;
    std::string_view options = socketUri.substr(query + 1);
    while (!options.empty()) {
        const std::size_t amp = options.find('&');
        if (options.substr(0, amp) == kPromptEnd) return true;
        if (amp == std::string_view::npos) break;
        options.remove_prefix(amp + 1);
    }
    return false;
}

// CUPS takes options after a port only behind a path: socket://HOST:PORT/?...
std::string WithPromptEnd(std::string_view socketUri) {
    const std::size_t query = socketUri.find('?');
    std::string result(socketUri.substr(0, query));
    const std::size_t authority = result.find("://");
    if (authority != std::string::npos && result.find('/', authority + 3) == std::string::npos) result += '/';
    std::vector<std::string_view> kept;
    if (query != std::string_view::npos) {
        std::string_view options = socketUri.substr(query + 1);
        while (!options.empty()) {
            const std::size_t amp = options.find('&');
            const std::string_view option = options.substr(0, amp);
            if (!option.empty() && option.substr(0, option.find('=')) != "waiteof") kept.push_back(option);
            if (amp == std::string_view::npos) break;
            options.remove_prefix(amp + 1);
        }
    }
    kept.push_back(kPromptEnd);
    for (std::size_t i = 0; i < kept.size(); ++i) {
        result += i == 0 ? '?' : '&';
        result += kept[i];
    }
    return result;
}

}  // namespace orlax::cups
