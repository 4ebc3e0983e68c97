// The places a technician reads the spooler codes: README's table gives
// every code with its text, in the table's order; every other README table
// of codes names only codes of the table; the manual page of orlaxctl lists
// every code.
#include "platform/spooler_errors.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace orlax::platform {
namespace {

std::string SourceFile(const std::string& path) {
    std::ifstream in(std::string(ORLAX_SOURCE_DIR) + "/" + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::set<std::uint32_t> TableCodes() {
    std::set<std::uint32_t> codes;
    for (const SpoolerError& entry : kSpoolerErrors) codes.insert(entry.code);
    return codes;
}

// Rows "| CODE | TEXT |" of README's tables, each table in order.
std::vector<std::vector<std::pair<std::uint32_t, std::string>>> ReadmeCodeTables() {
    std::vector<std::vector<std::pair<std::uint32_t, std::string>>> tables;
    std::istringstream lines(SourceFile("README.md"));
    const std::regex row(R"(^\| (\d+) \| (.*) \|$)");
    bool inTable = false;
    for (std::string line; std::getline(lines, line);) {
        std::smatch match;
        if (!std::regex_match(line, match, row)) {
            inTable = false;
            continue;
        }
        if (!inTable) tables.emplace_back();
        inTable = true;
        tables.back().emplace_back(static_cast<std::uint32_t>(std::stoul(match[1])),
                                   std::regex_replace(match[2].str(), std::regex(R"(\\\|)"), "|"));
    }
    return tables;
}

TEST(SpoolerErrors, ReadmeListsEveryCodeWithItsText) {
    const auto tables = ReadmeCodeTables();
    std::vector<std::pair<std::uint32_t, std::string>> expected;
    for (const SpoolerError& entry : kSpoolerErrors) expected.emplace_back(entry.code, std::string(entry.text));
    std::size_t complete = 0;
    for (const auto& table : tables) {
        if (table == expected) ++complete;
        for (const auto& [code, text] : table) EXPECT_TRUE(TableCodes().count(code)) << code << ": " << text;
    }
    EXPECT_EQ(complete, 1u) << "README has one table of every code and its text, as the spooler gives them";
}

TEST(SpoolerErrors, TheManualPageListsEveryCode) {
    const std::string page = SourceFile("packaging/man/orlaxctl.1");
    const std::size_t from = page.find("The codes:");
    ASSERT_NE(from, std::string::npos);
    const std::size_t to = page.find("\n.PP", from);
    std::istringstream lines(page.substr(from, to - from));
    std::set<std::uint32_t> listed;
    const std::regex code(R"(\b(\d{2,4})\b)");
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(".B ", 0) != 0 && line.rfind(".BR ", 0) != 0) continue;
        for (std::sregex_iterator it(line.begin(), line.end(), code), end; it != end; ++it)
            listed.insert(static_cast<std::uint32_t>(std::stoul((*it)[1])));
    }
    EXPECT_EQ(listed, TableCodes());
}

}  // namespace
}  // namespace orlax::platform
