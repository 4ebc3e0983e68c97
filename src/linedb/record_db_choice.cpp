#include "linedb/record_db_choice.h"

#include <libpq-fe.h>

#include <cstdlib>
#include <memory>

namespace orlax::linedb {

std::string ConninfoProblem(const std::string& conninfo) {
    char* message = nullptr;
    const std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)> options(
        PQconninfoParse(conninfo.c_str(), &message), PQconninfoFree);
    if (!options) {
        std::string why = message ? message : "out of memory";
        PQfreemem(message);
        while (!why.empty() && why.back() == '\n') why.pop_back();
        return "not a connection string: " + why;
    }
    for (const PQconninfoOption* option = options.get(); option->keyword; ++option) {
        if (std::string_view(option->keyword) == "password" && option->val && *option->val)
            return "the connection string holds a password; put it in ~/.pgpass (or a service file) instead";
    }
    return {};
}

std::optional<std::string> ChosenConninfo(const std::optional<std::string>& fromOption, std::string& error) {
    error.clear();
    std::string conninfo;
    std::string_view from = kRecordDbOption;
    if (fromOption) {
        conninfo = *fromOption;
    } else if (const char* variable = std::getenv(kRecordDbVariable.data()); variable && *variable) {
        conninfo = variable;
        from = kRecordDbVariable;
    } else {
        return std::nullopt;
    }
    if (std::string problem = conninfo.empty() ? "the connection string is empty" : ConninfoProblem(conninfo);
        !problem.empty()) {
        error = std::string(from) + ": " + problem;
        return std::nullopt;
    }
    return conninfo;
}

util::Option RecordDbOption(std::optional<std::string>& into) {
    return {kRecordDbOption, util::Takes::Value,
            [&into](const std::string& conninfo, std::string& refused) {
                refused = ConninfoProblem(conninfo);
                if (!refused.empty()) refused = std::string(kRecordDbOption) + ": " + refused;
                into = conninfo;
                return refused.empty();
            },
            "a connection string"};
}

}  // namespace orlax::linedb
