#include "app/scr/SaverLog.h"

#include <cstdio>
#include <cstdlib>

#include "platform/win32/WindowsApi.h"

namespace quellmoor {

void LogLine(const std::string& line) {
    OutputDebugStringA((line + "\r\n").c_str());
    const char* path = std::getenv("VEXMON_LOG");
    if (!path || !*path) return;
    // Opened per line, so the file is whole whenever the program is ended from outside.
    if (std::FILE* file = std::fopen(path, "ab")) {
        std::fprintf(file, "%s\r\n", line.c_str());
        std::fclose(file);
    }
}

}  // namespace quellmoor
