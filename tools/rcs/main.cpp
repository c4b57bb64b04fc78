// rcs: the authors' tool for component streams.
#include <fstream>
#include <iostream>
#include <string>

#include "model/Exceptions.h"
#include "tools/rcs/StreamDump.h"

namespace {

const char* kUsage =
    "usage: rcs COMMAND ...\n"
    "\n"
    "Commands:\n"
    "  dump FILE     print the header lines and every object of a component stream\n"
    "  --help        show this text\n"
    "\n"
    "A malformed stream prints the engine's message and exits with status 1.\n";

int Dump(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::cerr << "rcs: cannot open " << path << "\n";
        return 2;
    }
    try {
        rcs::DumpStream(file, std::cout);
    } catch (const quellmoor::RException& e) {
        std::cout.flush();
        std::cerr << e.GetMessage() << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kUsage;
        return 0;
    }
    if (command == "dump" && argc == 3) return Dump(argv[2]);
    std::cerr << kUsage;
    return 2;
}
