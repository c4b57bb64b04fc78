// How much memory this process holds in RAM (its resident set), for the soak
// run's "memory stays flat" figure. Linux reads /proc/self/statm; elsewhere the
// figure is unknown (nullopt).
#pragma once

#include <cstdint>
#include <optional>

namespace quellmoor::soak {

std::optional<std::uint64_t> ResidentBytes();

// Address sanitizer builds keep freed memory in quarantine, so their resident
// size grows by design and says nothing about leaks.
constexpr bool kSanitizedMemory =
#if defined(__SANITIZE_ADDRESS__)
    true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    true;
#else
    false;
#endif
#else
    false;
#endif

}  // namespace quellmoor::soak
