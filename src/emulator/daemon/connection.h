// One connection to the network unit. It starts with the status packet:
// the unit answers with its status reply and closes the connection (a
// failed read is a reset connection). Anything else is a print job: every
// byte until the peer closes its side, streamed into the unit.
//
// A connection is abandoned, its job never delivered, when `stopFd` becomes
// readable (the server is stopping), when it fails, or when nothing arrives
// for the idle time.
#pragma once

#include <chrono>

namespace orlax::emulator {

class NetworkUnit;

inline constexpr std::chrono::seconds kConnectionIdleLimit{60};

// Serves the connection on `fd` (which it closes) until it ends.
void ServeConnection(int fd, int stopFd, NetworkUnit& unit,
                     std::chrono::milliseconds idleLimit = kConnectionIdleLimit);

// Answers the connection on `fd` at once, without waiting for anything,
// when its first 8 bytes are here and are the status packet: the reply (at
// most 1000 bytes) goes into the socket's empty send buffer and the
// connection is closed. False, the connection untouched, for anything else.
bool AnswerStatusAtOnce(int fd, NetworkUnit& unit);

}  // namespace orlax::emulator
