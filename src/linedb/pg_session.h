// One connection to the line database's server, every exchange bounded in
// time on the system's clock: a server that is down, stopped or slow costs
// at most kConnectTimeout to reach and kStatementTimeout per command, never
// more than the caller's deadline. The connection string is libpq's own
// (key=value or a postgresql:// URI); credentials come the libpq way
// (~/.pgpass, a service file, client certificates).
#pragma once

#include <chrono>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct pg_conn;

namespace orlax::linedb {

using Deadline = std::chrono::steady_clock::time_point;

inline constexpr std::chrono::milliseconds kConnectTimeout{3000};
inline constexpr std::chrono::milliseconds kStatementTimeout{3000};

// What one command gave: its rows as text (a NULL as an empty text), or
// why it failed.
struct CommandResult {
    bool ok = false;
    std::vector<std::vector<std::string>> rows;
    std::string sqlState;  // the server's error code, when it gave one
    std::string failure;   // in words, one line
};

class PgSession {
public:
    // Connects within kConnectTimeout and `deadline`; nullptr with `failure`
    // set when that did not succeed.
    static std::unique_ptr<PgSession> Open(const std::string& conninfo, Deadline deadline, std::string& failure);
    ~PgSession();
    PgSession(const PgSession&) = delete;
    PgSession& operator=(const PgSession&) = delete;

    // Runs `sql` with text parameters ($1...; nullptr is NULL) within
    // kStatementTimeout and `deadline`. Without parameters `sql` may hold
    // several commands. After a time-out the session is no longer usable.
    CommandResult Run(std::string_view sql, std::span<const char* const> params, Deadline deadline);

    bool Usable() const { return usable_; }

private:
    explicit PgSession(pg_conn* connection) : connection_(connection) {}
    pg_conn* connection_;
    bool usable_ = true;
};

}  // namespace orlax::linedb
