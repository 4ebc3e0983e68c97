#include "unit_platform/unit_options.h"

#include <filesystem>

namespace orlax::unit_platform {

using util::Option;
using util::Takes;

std::vector<Option> UnitOptionRows(UnitChoice& choice, WithFast fast) {
    std::vector<Option> rows{
        {"--emulate", Takes::Optional,
         [&choice](const std::string& scenario, std::string&) {
             choice.emulate = true;
             if (!scenario.empty()) choice.scenarioPath = scenario;
             return true;
         },
         "a scenario file"},
        {"--journal", Takes::Value,
         [&choice](const std::string& path, std::string&) {
             choice.journalPath = path;
             return true;
         }},
        {"--data-root", Takes::Value,
         [&choice](const std::string& folder, std::string& error) {
             std::error_code failed;
             const auto absolute = std::filesystem::absolute(folder, failed);
             if (folder.empty() || failed) {
                 error = "--data-root: '" + folder + "' is not a usable folder name";
                 return false;
             }
             choice.dataRoot = absolute.lexically_normal().string();
             return true;
         }},
    };
    if (fast == WithFast::Yes)
        rows.push_back({"--fast", Takes::Nothing, [&choice](const std::string&, std::string&) {
                            choice.fast = true;
                            return true;
                        }});
    return rows;
}

std::string CombinationError(const UnitChoice& choice) {
    if (choice.fast && !choice.emulate) return "--fast needs --emulate";
    if (!choice.journalPath.empty() && !choice.emulate) return "--journal needs --emulate";
    return {};
}

}  // namespace orlax::unit_platform
