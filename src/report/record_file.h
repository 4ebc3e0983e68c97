// The production record file as the record and its outbox share it: opened
// for appending, and its exclusive lock, which also guards the outbox.
#pragma once

#include <chrono>
#include <string>

#include "util/unique_fd.h"

namespace orlax::report {

// How long a record waits for another program's lock on the file before it
// counts as a file that cannot be opened.
inline constexpr std::chrono::milliseconds kRecordLockWait{2000};

// Opens the record file for appending, creating it: only a regular file will
// do (a pipe or a device in its place could hold the operation for ever),
// and it is opened without blocking. Nothing held when it cannot be had.
util::UniqueFd OpenRecordFile(const std::string& path);

// Takes the file's exclusive lock, waiting at most kRecordLockWait for
// another program that holds it; closing the file releases it.
bool LockRecordFile(int fd);

}  // namespace orlax::report
