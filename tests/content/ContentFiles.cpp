#include "tests/content/ContentFiles.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "model/StreamReaders.h"
#include "model/Text.h"
#include "tools/rcs/StreamCodec.h"

namespace quellmoor::contenttest {

namespace fs = std::filesystem;

fs::path ContentDir() { return QM_CONTENT_DIR; }
fs::path GeneratedDir() { return QM_CONTENT_GEN; }
fs::path MainStreamPath() { return ContentDir() / "QUELLMOOR.stream"; }

std::vector<fs::path> SceneFiles() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(ContentDir()))
        if (entry.path().extension() == ".RCS") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<fs::path> AllStreams() {
    std::vector<fs::path> files{MainStreamPath()};
    for (const auto& f : SceneFiles()) files.push_back(f);
    return files;
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

rcs::Stream ReadStream(const fs::path& path) { return rcs::DecodeStream(ReadBytes(path)); }

const rcs::Object* FindObject(const rcs::Stream& s, const std::string& name) {
    for (const auto& o : s.objects)
        if (EqualsIgnoreCase(o.name, name)) return &o;
    return nullptr;
}

const rcs::Value* FindValue(const rcs::Object& o, const std::string& property) {
    for (const auto& p : o.pairs)
        if (EqualsIgnoreCase(p.name, property)) return &p.Get();
    return nullptr;
}

std::string HeaderValue(const rcs::Stream& s, const std::string& key) { return GetValue(s.header, key, ""); }

std::string TagValue(const rcs::Object& o, const std::string& key) {
    const rcs::Value* tag = FindValue(o, "Tag");
    return tag ? GetValue(tag->lines, key, "") : "";
}

std::vector<std::string> FrameNames(const rcs::Object& sprite) {
    std::vector<std::string> names;
    if (const rcs::Value* frames = FindValue(sprite, "FrameList"))
        for (const auto& frame : frames->frames)
            for (const auto& p : frame)
                if (p.name == "Name") names.push_back(p.Get().bytes);
    return names;
}

std::vector<std::string> SequenceNames(const rcs::Object& sprite) {
    std::vector<std::string> names;
    if (const rcs::Value* seqs = FindValue(sprite, "SequenceList"))
        for (const auto& s : seqs->sequences) names.push_back(s.name);
    return names;
}

}  // namespace quellmoor::contenttest
