// What the platform files share among themselves, not with the rest.
#ifndef BARPOST_BASE_PLATFORM_INTERNAL_H_
#define BARPOST_BASE_PLATFORM_INTERNAL_H_

#include "base/platform.h"

namespace platform::internal {

// The error a test hook injects into the system call step, or 0.
int InjectedError(const char* step);
// True while a test hook is set.
bool HookSet();
// A size for messages: "16 MB", "64 kB", "100 bytes".
std::string SizeText(std::size_t bytes);

}  // namespace platform::internal

#endif  // BARPOST_BASE_PLATFORM_INTERNAL_H_
