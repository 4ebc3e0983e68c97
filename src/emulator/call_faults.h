// Which spooler calls are to fail: every call of a kind, or the Nth call of a
// kind (1-based), for testing what the tool does when a step goes wrong.
// FaultSpooler counts the calls and makes the planned ones fail.
#pragma once

#include <array>
#include <cstddef>
#include <set>

namespace orlax::emulator {

enum class SpoolerCall {
    Open,
    SetData,
    GetData,
    StartDoc,
    StartPage,
    Write,
    ShortWrite,  // the Nth WritePrinter call takes one byte less
    EndPage,
    EndDoc,
    WaitJob,  // the Nth WaitForJob: the job never reaches the unit and is cancelled
};

inline constexpr std::size_t kSpoolerCallKinds = 10;

class CallFaults {
public:
    // The Nth call of `kind` fails (ShortWrite: is short). Calls are counted
    // from the spooler's creation; Write and ShortWrite both count
    // WritePrinter calls.
    void FailNth(SpoolerCall kind, std::size_t n);
    // Every call of `kind` fails (ShortWrite: is short).
    void FailEvery(SpoolerCall kind);

    // Counts one call of `kind` (ShortWrite is counted as Write) and returns
    // its number.
    std::size_t Count(SpoolerCall kind);
    // Whether call number `n` of `kind` is to fail.
    bool Planned(SpoolerCall kind, std::size_t n) const;
    // Calls of `kind` counted so far.
    std::size_t Calls(SpoolerCall kind) const;

private:
    static std::size_t CounterOf(SpoolerCall kind);

    std::array<std::size_t, kSpoolerCallKinds> calls_{};
    std::array<std::set<std::size_t>, kSpoolerCallKinds> planned_{};
    std::array<bool, kSpoolerCallKinds> every_{};
};

}  // namespace orlax::emulator
