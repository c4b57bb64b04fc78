#include "tools/soak/Memory.h"

#ifdef __linux__
#include <unistd.h>

#include <fstream>
#endif

namespace quellmoor::soak {

std::optional<std::uint64_t> ResidentBytes() {
#ifdef __linux__
    // statm: total program size, then resident pages.
    std::ifstream statm("/proc/self/statm");
    std::uint64_t size = 0, resident = 0;
    if (!(statm >> size >> resident)) return std::nullopt;
    const long page = sysconf(_SC_PAGESIZE);
    if (page <= 0) return std::nullopt;
    return resident * static_cast<std::uint64_t>(page);
#else
    return std::nullopt;
#endif
}

}  // namespace quellmoor::soak
