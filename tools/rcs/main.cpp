// rcs: the authors' tool for component streams.
#include <iostream>
#include <string>
#include <vector>

#include "model/Exceptions.h"
#include "tools/rcs/Commands.h"
#include "tools/rcs/EngineCheck.h"

namespace {

const char* kUsage =
    "usage: rcs COMMAND ...\n"
    "\n"
    "Commands:\n"
    "  dump FILE                       print the header lines and every object of a component stream;\n"
    "                                  fails with the program's message when it would not load FILE\n"
    "  compile SOURCE -o FILE [-I DIR]... [--palette BMP]\n"
    "                                  build a stream from its source; bitmaps are found next to\n"
    "                                  SOURCE, then in each DIR; --palette rejects other palettes\n"
    "  decompile FILE [-o SOURCE]      write a stream back as source (default FILE.rcsrc), its\n"
    "                                  bitmaps into SOURCE's name + _bitmaps/\n"
    "  check --palette BMP FILE...     every bitmap in the streams and .bmp FILEs must have\n"
    "                                  BMP's palette\n"
    "  embed FILE -o OUT.cpp --function NAME\n"
    "                                  C++ source with quellmoor::NAME() returning FILE's bytes\n"
    "  --help                          show this text\n"
    "\n"
    "Errors print a message (sources: FILE:LINE: what is wrong) and exit with status 1.\n";

int Dump(const std::string& path) {
    std::string bytes;
    try {
        bytes = rcs::ReadFileBytes(path);
    } catch (const quellmoor::RException&) {
        std::cerr << "rcs: cannot open " << path << "\n";
        return 2;
    }
    return rcs::RunDump(bytes, std::cout, std::cerr);
}

int Usage() {
    std::cerr << kUsage;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::string command = args.empty() ? "" : args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kUsage;
        return 0;
    }
    if (command == "dump" && args.size() == 2) return Dump(args[1]);

    // Options shared by the other commands; everything else is a file.
    std::vector<std::string> files;
    std::string output, palette, function;
    std::vector<std::filesystem::path> includes;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "-o" && hasValue) output = args[++i];
        else if (a == "-I" && hasValue) includes.emplace_back(args[++i]);
        else if (a == "--palette" && hasValue) palette = args[++i];
        else if (a == "--function" && hasValue) function = args[++i];
        else if (!a.empty() && a[0] == '-') return Usage();
        else files.push_back(a);
    }
    if (command == "compile" && files.size() == 1 && !output.empty())
        return rcs::Compile({files[0], output, includes, palette}, std::cerr);
    if (command == "decompile" && files.size() == 1) {
        std::filesystem::path source = output;
        if (source.empty()) source = std::filesystem::path(files[0]).replace_extension(".rcsrc");
        return rcs::Decompile(files[0], source, std::cerr);
    }
    if (command == "check" && !palette.empty() && !files.empty()) {
        std::vector<std::filesystem::path> paths(files.begin(), files.end());
        return rcs::CheckPalette(palette, paths, std::cerr);
    }
    if (command == "embed" && files.size() == 1 && !output.empty() && !function.empty())
        return rcs::Embed(files[0], output, function, std::cerr);
    return Usage();
}
