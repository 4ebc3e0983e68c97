// A PostgreSQL server of a test's own: a cluster made in a temporary folder
// by initdb, listening only on a Unix socket in that folder, run by an
// unprivileged user (the postgres account when the test runs as root, as
// CI does). The database "line" belongs to the role "station", which logs in
// with a password from a pgpass file; the superuser "postgres" logs in
// without one for the test's own queries.
#pragma once

#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "linedb/pg_session.h"
#include "support/child_process.h"

namespace orlax::testing {

inline constexpr const char* kPgBin = "/usr/lib/postgresql/15/bin/";
inline constexpr const char* kStationPassword = "line-station-pw";

class PgServer {
public:
    PgServer() {
        std::string pattern = (std::filesystem::temp_directory_path() / "orlax-pg-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) return;
        dir_ = pattern;
        ::chmod(dir_.c_str(), 0755);
        if (::geteuid() == 0) {
            runAs_ = {"/usr/sbin/runuser", "-u", "postgres", "--"};
            const passwd* owner = ::getpwnam("postgres");
            if (!owner || ::chown(dir_.c_str(), owner->pw_uid, owner->pw_gid) != 0) {
                failure_ = "the folder cannot be given to the postgres account";
                return;
            }
        }
        const auto init = RunChild(Command({std::string(kPgBin) + "initdb", "-D", Data(), "-U", "postgres", "-A",
                                            "trust", "--no-sync", "-E", "UTF8", "--locale=C"}),
                                   {}, dir_ + "/initdb");
        if (init.status != 0) {
            failure_ = "initdb: " + init.err;
            return;
        }
        // The station's role logs in with its password only.
        WriteAsOwner(Data() + "/pg_hba.conf",
                     "local all station scram-sha-256\nlocal all postgres trust\n");
        if (!Start()) return;
        if (!Sql("CREATE ROLE station LOGIN PASSWORD '" + std::string(kStationPassword) + "'", "postgres").ok ||
            !Sql("CREATE DATABASE line OWNER station", "postgres").ok)
            failure_ = "the role or the database could not be made";
        std::ofstream(PassFile(true)) << dir_ << ":5432:*:station:" << kStationPassword << "\n";
        std::ofstream(PassFile(false)) << dir_ << ":5432:*:station:not-the-password\n";
        ::chmod(PassFile(true).c_str(), 0600);
        ::chmod(PassFile(false).c_str(), 0600);
    }
    ~PgServer() {
        Resume();
        RunChild(Command({std::string(kPgBin) + "pg_ctl", "-D", Data(), "-m", "immediate", "-w", "stop"}), {},
                 dir_ + "/stop");
        std::error_code ignored;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
    }
    PgServer(const PgServer&) = delete;
    PgServer& operator=(const PgServer&) = delete;

    bool Ok() const { return failure_.empty(); }
    const std::string& Failure() const { return failure_; }
    const std::string& Folder() const { return dir_; }

    bool Start() {
        const auto started = RunChild(
            Command({std::string(kPgBin) + "pg_ctl", "-D", Data(), "-l", dir_ + "/server.log", "-w", "-o",
                     "-k " + dir_ + " -c listen_addresses='' -c fsync=off -c max_connections=40", "start"}),
            {}, dir_ + "/start");
        if (started.status != 0) failure_ = "pg_ctl start: " + started.out + started.err;
        return started.status == 0;
    }
    // Stops the server at once, whatever it is doing, as a crash would.
    bool Stop() {
        Resume();
        return RunChild(Command({std::string(kPgBin) + "pg_ctl", "-D", Data(), "-m", "immediate", "-w", "stop"}), {},
                        dir_ + "/stop")
                   .status == 0;
    }
    // Freezes the server: it takes connections but answers nothing.
    void Pause() {
        if (const pid_t pid = ServerPid(); pid > 0 && ::kill(pid, SIGSTOP) == 0) paused_ = pid;
    }
    void Resume() {
        if (paused_ > 0) ::kill(paused_, SIGCONT);
        paused_ = -1;
    }

    // The station's connection string (its password comes from a pgpass file).
    std::string Conninfo(const std::string& database = "line") const {
        return "host=" + dir_ + " dbname=" + database + " user=station";
    }
    std::string PassFile(bool right) const { return dir_ + (right ? "/pgpass" : "/pgpass-wrong"); }

    // A command as the superuser, in database `database`.
    linedb::CommandResult Sql(const std::string& sql, const std::string& database = "line") const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        std::string failure;
        const auto session =
            linedb::PgSession::Open("host=" + dir_ + " dbname=" + database + " user=postgres", deadline, failure);
        if (!session) return {false, {}, {}, failure};
        return session->Run(sql, {}, deadline);
    }
    // A session of the superuser's own, for a test that holds a transaction open.
    std::unique_ptr<linedb::PgSession> Session() const {
        std::string failure;
        return linedb::PgSession::Open("host=" + dir_ + " dbname=line user=postgres",
                                       std::chrono::steady_clock::now() + std::chrono::seconds(10), failure);
    }

private:
    std::string Data() const { return dir_ + "/data"; }
    std::vector<std::string> Command(std::vector<std::string> words) const {
        std::vector<std::string> all(runAs_);
        all.insert(all.end(), words.begin(), words.end());
        return all;
    }
    void WriteAsOwner(const std::string& path, const std::string& text) const {
        struct stat before {};
        ::stat(path.c_str(), &before);
        std::ofstream(path, std::ios::trunc) << text;
        if (::chown(path.c_str(), before.st_uid, before.st_gid) != 0) return;
    }
    pid_t ServerPid() const {
        std::ifstream in(Data() + "/postmaster.pid");
        pid_t pid = -1;
        in >> pid;
        return pid;
    }

    std::string dir_;
    std::vector<std::string> runAs_;
    std::string failure_;
    pid_t paused_ = -1;
};

}  // namespace orlax::testing
