// The built content has every name the show looks up, one palette for every
// bitmap, scenes of every class, sounds and skins.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <set>

#include "model/Text.h"
#include "tests/content/ContentFiles.h"
#include "tools/rcs/PaletteCheck.h"
#include "tools/rcs/StreamCodec.h"

namespace quellmoor {
namespace {

using namespace contenttest;
namespace fs = std::filesystem;

bool Has(const std::vector<std::string>& names, const std::string& name) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return EqualsIgnoreCase(n, name); });
}

std::uint32_t Little(const std::string& b, std::size_t at, int size) {
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

std::pair<int, int> BitmapSize(const std::string& bmp) {
    return {static_cast<int>(Little(bmp, 18, 4)), static_cast<int>(Little(bmp, 22, 4))};
}

// The keyframes of a director: (actor, assignment text).
std::vector<rcs::Keyframe> Keyframes(const rcs::Object& director) {
    const rcs::Value* t = FindValue(director, "Tupels");
    return t ? t->keyframes : std::vector<rcs::Keyframe>{};
}

TEST(BuiltContent, SharedPaletteHasItsFixedEntries) {
    auto palette = rcs::ReadPalette(ReadBytes(GeneratedDir() / "palette.bmp"));
    ASSERT_TRUE(palette);
    EXPECT_EQ((*palette)[0], 0x000000u);
    EXPECT_EQ((*palette)[255], 0xFFFFFFu);
    EXPECT_EQ((*palette)[1], 0x00FF00u);
    EXPECT_EQ((*palette)[2], 0x0000FFu);
    // The keys must be unique, or a nearest-colour lookup could land elsewhere.
    for (std::size_t i = 3; i < 256; ++i) {
        EXPECT_NE((*palette)[i], 0x00FF00u) << i;
        EXPECT_NE((*palette)[i], 0x0000FFu) << i;
    }
}

TEST(BuiltContent, EveryBitmapSharesThePalette) {
    auto palette = rcs::ReadPalette(ReadBytes(GeneratedDir() / "palette.bmp"));
    ASSERT_TRUE(palette);
    int bitmaps = 0;
    for (const auto& path : AllStreams()) {
        for (const auto& b : rcs::CollectBitmaps(ReadStream(path))) {
            EXPECT_EQ(rcs::ComparePalette(b.bytes, *palette), "") << path << " " << b.where;
            ++bitmaps;
        }
    }
    for (const auto& entry : fs::directory_iterator(ContentDir() / "Skins")) {
        EXPECT_EQ(rcs::ComparePalette(ReadBytes(entry.path()), *palette), "") << entry.path();
        ++bitmaps;
    }
    EXPECT_GT(bitmaps, 150);
}

TEST(BuiltContent, PaletteCheckRejectsAnotherPalette) {
    auto palette = rcs::ReadPalette(ReadBytes(GeneratedDir() / "palette.bmp"));
    ASSERT_TRUE(palette);
    std::string bmp = ReadBytes(GeneratedDir() / "images" / "art" / "sk_1.bmp");
    bmp[54 + 4 * 37 + 1] = static_cast<char>(bmp[54 + 4 * 37 + 1] ^ 1);
    EXPECT_EQ(rcs::ComparePalette(bmp, *palette).rfind("palette entry 37 is ", 0), 0u);
}

TEST(BuiltContent, MainStreamHoldsEveryNameTheShowLooksUp) {
    const rcs::Stream main = ReadStream(MainStreamPath());
    const rcs::Object* stage = FindObject(main, "Stage");
    ASSERT_TRUE(stage);
    EXPECT_EQ(stage->className, "RStage");
    for (const char* p : {"Background", "ShowCursor", "Fullscreen", "HasFrame"}) EXPECT_TRUE(FindValue(*stage, p)) << p;
    EXPECT_EQ(FindValue(*stage, "Background")->kind, rcs::Kind::Bitmap);

    const rcs::Object* vexmon = FindObject(main, "Vexmon");
    ASSERT_TRUE(vexmon);
    EXPECT_EQ(vexmon->className, "RSprite");
    for (const char* f : {"s_l90", "s_l135"}) EXPECT_TRUE(Has(FrameNames(*vexmon), f)) << f;
    for (const char* s : {"TALK", "STAND", "getmic", "awaymic", "TALKSIT", "LISTENSIT"})
        EXPECT_TRUE(Has(SequenceNames(*vexmon), s)) << s;

    for (const char* p : {"Ship-Outline", "Ship-Skin", "Ship-Inside", "Ship-Land", "deur1", "deur2", "Screen1", "Screen2"}) {
        const rcs::Object* o = FindObject(main, p);
        ASSERT_TRUE(o) << p;
        EXPECT_EQ(o->className, "RPicture") << p;
    }
    for (const char* p : {"Screen1", "Screen2"}) {
        EXPECT_EQ(BitmapSize(FindValue(*FindObject(main, p), "Surface")->bytes), std::make_pair(608, 448)) << p;
    }

    const rcs::Object* engine = FindObject(main, "Ship-Engine");
    ASSERT_TRUE(engine);
    for (const char* s : {"ON_1", "OFF_1", "ON_2", "OFF_2"}) EXPECT_TRUE(Has(SequenceNames(*engine), s)) << s;
    ASSERT_TRUE(FindObject(main, "Sidekick"));

    int stars = 0;
    for (const auto& o : main.objects) {
        if (o.className != "RSprite" || !TextToBool(TagValue(o, "Sterretje"))) continue;
        ++stars;
        for (const char* key : {"StartX", "EndX", "Frequency", "Speed", "Pre"}) EXPECT_NE(TagValue(o, key), "") << o.name << " " << key;
        for (const char* key : {"Pre", "During", "Post"})
            if (const std::string seq = TagValue(o, key); !seq.empty()) {
                EXPECT_TRUE(Has(SequenceNames(o), seq)) << o.name << " " << seq;
            }
    }
    EXPECT_GE(stars, 3);

    for (const char* d : {"GetOut", "GetIn"}) {
        const rcs::Object* director = FindObject(main, d);
        ASSERT_TRUE(director) << d;
        EXPECT_EQ(director->className, "RDirector");
        std::set<std::string> actors;
        for (const auto& k : Keyframes(*director)) actors.insert(k.actor);
        EXPECT_EQ(actors, (std::set<std::string>{"deur1", "deur2", "Ship-Inside", "Vexmon", "Sidekick"})) << d;
        const auto keys = Keyframes(*director);
        auto inside = std::find_if(keys.begin(), keys.end(), [](const rcs::Keyframe& k) { return k.actor == "Ship-Inside"; });
        ASSERT_NE(inside, keys.end());
        EXPECT_EQ(inside->step, "1");
        for (const char* c : {"XPos=", "YPos=", "ZPos="}) EXPECT_NE(inside->assignments.find(c), std::string::npos) << d;
        // A filler pair follows the table, so readers that read two more texts stay in step.
        EXPECT_EQ(director->pairs.back().name, "OrrinSpecific");
    }
}

TEST(BuiltContent, StoredPixiesStayHiddenAndTheShipPartsFitTogether) {
    const rcs::Stream main = ReadStream(MainStreamPath());
    for (const auto& path : AllStreams())
        for (const auto& o : ReadStream(path).objects) {
            if (o.className != "RPicture" && o.className != "RSprite" && o.className != "RDirector") continue;
            const rcs::Value* v = FindValue(o, "Visible");
            EXPECT_TRUE(v && v->bytes == "False") << path << " " << o.name;
        }

    auto size = [&](const char* name) { return BitmapSize(FindValue(*FindObject(main, name), "Surface")->bytes); };
    // The interior lines up with the ship's own drawing when 220 wide under a 237 high hull.
    EXPECT_EQ(size("Ship-Outline"), std::make_pair(320, 237));
    EXPECT_EQ(size("Ship-Inside").first, 220);
    EXPECT_EQ(size("Ship-Skin"), size("Ship-Outline"));
    for (const auto& entry : fs::directory_iterator(ContentDir() / "Skins"))
        EXPECT_EQ(BitmapSize(ReadBytes(entry.path())), size("Ship-Skin")) << entry.path();
}

TEST(BuiltContent, EveryFrameThatIsNamedExists) {
    const rcs::Stream main = ReadStream(MainStreamPath());
    for (const auto& path : AllStreams()) {
        const rcs::Stream s = ReadStream(path);
        auto sprite = [&](const std::string& name) {
            const rcs::Object* o = FindObject(s, name);
            return o ? o : FindObject(main, name);
        };
        for (const auto& o : s.objects) {
            if (const rcs::Value* seqs = FindValue(o, "SequenceList")) {
                for (const auto& seq : seqs->sequences)
                    for (const auto& step : seq.steps)
                        EXPECT_TRUE(Has(FrameNames(o), step.frame)) << path << " " << o.name << "/" << seq.name << " " << step.frame;
            }
            if (const rcs::Value* cur = FindValue(o, "CurFrameName")) {
                EXPECT_TRUE(Has(FrameNames(o), cur->bytes)) << o.name;
            }
            for (const auto& k : Keyframes(o)) {
                const std::size_t at = k.assignments.find("CurFrameName=");
                if (at == std::string::npos) continue;
                const std::string frame = k.assignments.substr(at + 13, k.assignments.find(';', at) - at - 13);
                const rcs::Object* actor = sprite(k.actor);
                ASSERT_TRUE(actor) << path << " " << o.name << " names " << k.actor;
                EXPECT_TRUE(Has(FrameNames(*actor), frame)) << path << " " << o.name << " " << k.actor << " " << frame;
            }
        }
    }
}

TEST(BuiltContent, ScenesCoverEveryClass) {
    std::map<std::string, int> types;
    const std::regex safeName("[A-Za-z0-9_-]+\\.RCS");
    for (const auto& path : SceneFiles()) {
        SCOPED_TRACE(path.string());
        EXPECT_TRUE(std::regex_match(path.filename().string(), safeName));
        const rcs::Stream s = ReadStream(path);
        const std::string type = HeaderValue(s, "Type");
        ++types[type];
        auto director = [&](const char* name) {
            const rcs::Object* o = FindObject(s, name);
            return o && o->className == "RDirector";
        };
        if (type == "RPlanetScene") {
            for (const char* n : {"Sky", "Planet"}) EXPECT_TRUE(FindObject(s, n)) << n;
            for (const char* n : {"Before", "After", "Talking", "NotTalking", "Playing"}) EXPECT_TRUE(director(n)) << n;
            for (const char* n : {"Before", "After", "Talking", "NotTalking", "Playing"}) {
                const auto keys = Keyframes(*FindObject(s, n));
                EXPECT_TRUE(std::any_of(keys.begin(), keys.end(), [](const auto& k) { return k.actor == "Pijl" && k.step == "1"; })) << n;
            }
            for (const char* key : {"Frequency", "HideBrax", "Intro", "Exit"}) EXPECT_NE(HeaderValue(s, key), "") << key;
        } else if (type == "RMeetingScene") {
            for (const char* n : {"MoveIn", "MoveOut", "Talking", "NotTalking", "Playing"}) EXPECT_TRUE(director(n)) << n;
            for (const char* key : {"XPos", "YPos", "ZPos", "Speed", "MirrorBrax"}) EXPECT_NE(HeaderValue(s, key), "") << key;
        } else if (type == "RInShipScene") {
            ASSERT_TRUE(director("Scene"));
            const auto keys = Keyframes(*FindObject(s, "Scene"));
            EXPECT_TRUE(std::any_of(keys.begin(), keys.end(), [](const auto& k) { return k.actor == "Inside"; }));
        } else if (type == "RMovingScene") {
            std::string waypoints = HeaderValue(s, "Path");
            int points = 0;
            while (!waypoints.empty()) {
                std::string point = SplitOff(waypoints, "|");
                SplitOff(point, ",");
                SplitOff(point, ",");
                EXPECT_GT(TextToFloat(point), 0.0);
                ++points;
            }
            EXPECT_GE(points, 2);
            EXPECT_GT(TextToFloat(HeaderValue(s, "Speed")), 0.0);
        } else {
            EXPECT_EQ(type, "RFloatLib");
        }
        // Every text block a scene says exists.
        for (const char* key : {"Intro", "Exit"}) {
            std::string list = HeaderValue(s, key);
            while (!list.empty()) {
                const std::string name = SplitOff(list, ",");
                const rcs::Object* text = FindObject(s, name);
                ASSERT_TRUE(text) << name;
                EXPECT_EQ(text->className, "RText");
            }
        }
    }
    EXPECT_GE(types["RPlanetScene"], 3);
    EXPECT_GE(types["RMeetingScene"], 2);
    EXPECT_GE(types["RInShipScene"], 1);
    EXPECT_GE(types["RMovingScene"], 2);
    EXPECT_GE(types["RFloatLib"], 2);
    EXPECT_GE(SceneFiles().size() - static_cast<std::size_t>(types["RFloatLib"]), 10u);
}

TEST(BuiltContent, MailSceneAndDialogues) {
    int mail = 0, answered = 0, texts = 0;
    const std::regex offset("\\(-?[0-9]+,-?[0-9]+\\).+");
    for (const auto& path : SceneFiles()) {
        const rcs::Stream s = ReadStream(path);
        if (const rcs::Object* vmail = FindObject(s, "VMAIL")) {
            ++mail;
            EXPECT_EQ(vmail->className, "RSprite");
            EXPECT_TRUE(Has(SequenceNames(*vmail), "DEFAULT"));
        }
        for (const auto& o : s.objects) {
            if (o.className != "RText") continue;
            ++texts;
            const auto& lines = FindValue(o, "Contents")->lines;
            EXPECT_FALSE(lines.empty()) << o.name;
            if (std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return std::regex_match(l, offset); }) &&
                Has(lines, "***"))
                ++answered;
        }
    }
    EXPECT_EQ(mail, 1);
    EXPECT_GE(texts, 10);
    EXPECT_GE(answered, 8);  // pages of the second speaker, with their balloon offsets
}

TEST(BuiltContent, SoundsAreShortPcmWaves) {
    std::vector<std::string> names{"motor1", "motor2"};
    for (int i = 1; i <= 10; ++i) names.push_back("brax" + std::to_string(i));
    for (const auto& name : names) {
        const std::string wav = ReadBytes(ContentDir() / "Sounds" / (name + ".wav"));
        ASSERT_GT(wav.size(), 44u) << name;
        EXPECT_EQ(wav.substr(0, 4), "RIFF");
        EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
        EXPECT_EQ(Little(wav, 20, 2), 1u) << name;   // PCM
        EXPECT_EQ(Little(wav, 34, 2), 16u) << name;  // 16 bit
        EXPECT_EQ(Little(wav, 40, 4), wav.size() - 44) << name;
        EXPECT_LT(wav.size(), 200000u) << name;
    }
}

TEST(BuiltContent, ContentStaysSmall) {
    std::uintmax_t total = 0;
    for (const auto& entry : fs::recursive_directory_iterator(ContentDir()))
        if (entry.is_regular_file()) total += entry.file_size();
    EXPECT_LT(total, 20u * 1024 * 1024);
}

}  // namespace
}  // namespace quellmoor
