#include "saver/WindowsSaverRules.h"

#include <cstddef>

namespace quellmoor {

InstanceDecision DecideInstance(WinSaverMode mode, bool runExists, bool previewExists) {
    InstanceDecision d;
    switch (mode) {
        case WinSaverMode::Preview:
            d.giveWay = runExists;
            d.publishPreview = !runExists;
            break;
        case WinSaverMode::Run:
        case WinSaverMode::Debug:
            if (runExists) {
                d.giveWay = true;
                d.bringRunToFront = true;
                break;
            }
            d.closePreview = previewExists;
            // The debug window is no screensaver as far as the system is concerned.
            d.setRunningFlag = mode == WinSaverMode::Run;
            break;
        case WinSaverMode::Config:
        case WinSaverMode::ChangePassword: break;
    }
    return d;
}

std::string RunTitle(const std::string& programName) { return programName + "_RUN"; }

std::string PreviewTitle(const std::string& programName) { return programName + "_PREVIEW"; }

bool PasswordFlagSet(std::uint32_t type, std::span<const std::uint8_t> bytes) {
    if (type == kRegDword || type == kRegBinary) {
        if (bytes.size() != 4) return false;
        return (bytes[0] | bytes[1] | bytes[2] | bytes[3]) != 0;
    }
    if (type != kRegString) return false;
    // A string may or may not carry its terminating zero; digits only, one at least.
    std::size_t end = bytes.size();
    while (end > 0 && bytes[end - 1] == 0) --end;
    if (end == 0) return false;
    bool nonZero = false;
    for (std::size_t i = 0; i < end; ++i) {
        if (bytes[i] < '0' || bytes[i] > '9') return false;
        nonZero = nonZero || bytes[i] != '0';
    }
    return nonZero;
}

}  // namespace quellmoor
