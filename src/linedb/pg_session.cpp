#include "linedb/pg_session.h"

#include <libpq-fe.h>
#include <poll.h>

#include <algorithm>
#include <array>
#include <cerrno>

namespace orlax::linedb {
namespace {

using Clock = std::chrono::steady_clock;

// The first line of a libpq message, without its trailing line end.
std::string OneLine(const char* message) {
    std::string text = message ? message : "";
    if (const auto end = text.find('\n'); end != std::string::npos) text.resize(end);
    return text.empty() ? "no reason given" : text;
}

std::string Seconds(std::chrono::milliseconds bound) {
    return std::to_string(bound.count() / 1000) + " s";
}

enum class Wait { Ready, TimedOut, Failed };

// Waits until the socket is ready for `events` or the deadline passes.
Wait WaitFor(int socket, short events, Deadline deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return Wait::TimedOut;
        pollfd entry{socket, events, 0};
        const int n = ::poll(&entry, 1, static_cast<int>(std::min<std::int64_t>(left.count(), 1000)));
        if (n > 0) return Wait::Ready;
        if (n < 0 && errno != EINTR) return Wait::Failed;
    }
}

}  // namespace

std::unique_ptr<PgSession> PgSession::Open(const std::string& conninfo, Deadline deadline, std::string& failure) {
    const Deadline bound = std::min(deadline, Clock::now() + kConnectTimeout);
    const std::array<const char*, 4> keys{"dbname", "fallback_application_name", "client_encoding", nullptr};
    const std::array<const char*, 4> values{conninfo.c_str(), "orlax-tools", "UTF8", nullptr};
    PGconn* connection = PQconnectStartParams(keys.data(), values.data(), 1);
    std::unique_ptr<PgSession> session(connection ? new PgSession(connection) : nullptr);
    if (!session) {
        failure = "cannot connect to the line database: out of memory";
        return nullptr;
    }
    PostgresPollingStatusType state = PGRES_POLLING_WRITING;
    while (PQstatus(connection) != CONNECTION_BAD && state != PGRES_POLLING_OK && state != PGRES_POLLING_FAILED) {
        const short events = state == PGRES_POLLING_READING ? POLLIN : POLLOUT;
        const Wait wait = WaitFor(PQsocket(connection), events, bound);
        if (wait == Wait::TimedOut) {
            failure = "the line database server did not answer within " + Seconds(kConnectTimeout);
            return nullptr;
        }
        if (wait == Wait::Failed) break;
        state = PQconnectPoll(connection);
    }
    if (PQstatus(connection) != CONNECTION_OK) {
        failure = "cannot connect to the line database: " + OneLine(PQerrorMessage(connection));
        return nullptr;
    }
    // The server's notices ("already exists, skipping") are not ours to print.
    PQsetNoticeProcessor(connection, [](void*, const char*) {}, nullptr);
    if (PQsetnonblocking(connection, 1) != 0) {
        failure = "cannot use the line database connection: " + OneLine(PQerrorMessage(connection));
        return nullptr;
    }
    return session;
}

PgSession::~PgSession() { PQfinish(connection_); }

CommandResult PgSession::Run(std::string_view sql, std::span<const char* const> params, Deadline deadline) {
    CommandResult result;
    const Deadline bound = std::min(deadline, Clock::now() + kStatementTimeout);
    const std::string text(sql);
    const int sent = params.empty()
                         ? PQsendQuery(connection_, text.c_str())
                         : PQsendQueryParams(connection_, text.c_str(), static_cast<int>(params.size()), nullptr,
                                             params.data(), nullptr, nullptr, 0);
    const auto broken = [&](std::string why) {
        usable_ = false;
        result.failure = std::move(why);
        return result;
    };
    const auto timedOut = [&] {
        return broken("the line database server did not answer within " + Seconds(kStatementTimeout));
    };
    if (!sent) return broken("the line database connection failed: " + OneLine(PQerrorMessage(connection_)));
    // Out with the whole command, taking in what comes meanwhile.
    for (int flushing; (flushing = PQflush(connection_)) != 0;) {
        if (flushing < 0) return broken("the line database connection failed: " + OneLine(PQerrorMessage(connection_)));
        const Wait wait = WaitFor(PQsocket(connection_), POLLIN | POLLOUT, bound);
        if (wait == Wait::TimedOut) return timedOut();
        if (!PQconsumeInput(connection_))
            return broken("the line database connection failed: " + OneLine(PQerrorMessage(connection_)));
    }
    bool failed = false;
    for (;;) {
        while (PQisBusy(connection_)) {
            const Wait wait = WaitFor(PQsocket(connection_), POLLIN, bound);
            if (wait == Wait::TimedOut) return timedOut();
            if (wait == Wait::Failed || !PQconsumeInput(connection_))
                return broken("the line database connection failed: " + OneLine(PQerrorMessage(connection_)));
        }
        PGresult* answer = PQgetResult(connection_);
        if (!answer) break;
        const ExecStatusType status = PQresultStatus(answer);
        if (status == PGRES_TUPLES_OK) {
            for (int r = 0; r < PQntuples(answer); ++r) {
                auto& row = result.rows.emplace_back();
                for (int c = 0; c < PQnfields(answer); ++c) row.emplace_back(PQgetvalue(answer, r, c));
            }
        } else if (status != PGRES_COMMAND_OK && !failed) {
            failed = true;
            const char* state = PQresultErrorField(answer, PG_DIAG_SQLSTATE);
            result.sqlState = state ? state : "";
            result.failure = OneLine(PQresultErrorMessage(answer));
        }
        PQclear(answer);
    }
    if (PQstatus(connection_) != CONNECTION_OK) {
        usable_ = false;
        if (!failed) result.failure = "the line database connection failed: " + OneLine(PQerrorMessage(connection_));
        return result;
    }
    result.ok = !failed;
    return result;
}

}  // namespace orlax::linedb
