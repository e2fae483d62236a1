// Signal numbers for the fatal-signal table and the signals the program
// ignores. A signal the platform lacks gets its usual POSIX number, which the
// platform refuses to install a handler for, so that request is ignored.
#pragma once

#include <csignal>

namespace vkrt::os {

#ifdef SIGQUIT
inline constexpr int sigquit = SIGQUIT;
#else
inline constexpr int sigquit = 3;
#endif
#ifdef SIGBUS
inline constexpr int sigbus = SIGBUS;
#else
inline constexpr int sigbus = 7;
#endif
#ifdef SIGSYS
inline constexpr int sigsys = SIGSYS;
#else
inline constexpr int sigsys = 31;
#endif
#ifdef SIGTRAP
inline constexpr int sigtrap = SIGTRAP;
#else
inline constexpr int sigtrap = 5;
#endif
#ifdef SIGPIPE
inline constexpr int sigpipe = SIGPIPE;
#else
inline constexpr int sigpipe = 13;
#endif
#ifdef SIGXFSZ
inline constexpr int sigxfsz = SIGXFSZ;
#else
inline constexpr int sigxfsz = 25;
#endif

}  // namespace vkrt::os
