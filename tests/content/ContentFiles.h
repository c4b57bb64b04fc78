// Where the built content lies, and helpers to read it, for the content tests.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tools/rcs/SourceModel.h"

namespace quellmoor::contenttest {

std::filesystem::path ContentDir();     // the content directory (scenes at its top)
std::filesystem::path GeneratedDir();   // contentgen's output (palette.bmp, images/)
std::filesystem::path MainStreamPath();
// Every stream of the content directory: the main stream, then the *.RCS files by name.
std::vector<std::filesystem::path> AllStreams();
std::vector<std::filesystem::path> SceneFiles();  // *.RCS only
std::string ReadBytes(const std::filesystem::path& path);
rcs::Stream ReadStream(const std::filesystem::path& path);

// Lookups in the structured form; null when absent.
const rcs::Object* FindObject(const rcs::Stream& s, const std::string& name);
const rcs::Value* FindValue(const rcs::Object& o, const std::string& property);
std::string HeaderValue(const rcs::Stream& s, const std::string& key);
std::string TagValue(const rcs::Object& o, const std::string& key);
std::vector<std::string> FrameNames(const rcs::Object& sprite);
std::vector<std::string> SequenceNames(const rcs::Object& sprite);

}  // namespace quellmoor::contenttest
