#include "tools/show-preview/StarSky.h"

#include <algorithm>
#include <map>
#include <sstream>

#include "animation/Sequencer.h"
#include "animation/Sprite.h"
#include "imaging/Surface.h"
#include "model/StreamReaders.h"
#include "model/Text.h"
#include "stage/Stage.h"

namespace quellmoor {

namespace {

constexpr double kTickMs = 25.0;
// More copies than any sky needs; a mistyped Frequency must not load thousands.
constexpr int kMostCopies = 100;

// Each wanted object's bytes as a stream of its own (the main stream's header
// and that one object), so it can be loaded again as a fresh copy.
std::map<std::string, std::string> SingleObjectStreams(std::span<const unsigned char> bytes,
                                                       const std::vector<std::string>& names) {
    const std::string all(bytes.begin(), bytes.end());
    std::istringstream in(all);
    in.ignore(3);  // "RCS", checked when the stage loaded it
    int used = 0;
    std::vector<std::string> header;
    LoadStringListFromStream(header, in, used);
    const std::string head = all.substr(0, static_cast<std::size_t>(in.tellg()));
    std::map<std::string, std::string> streams;
    while (!AtEndOfStream(in)) {
        const auto start = static_cast<std::size_t>(in.tellg());
        LoadStringFromStream(in, used);
        const std::string name = LoadStringFromStream(in, used);
        SkipBytes(in, LoadLongIntFromStream(in, used));
        const auto end = static_cast<std::size_t>(in.tellg());
        for (const std::string& wanted : names)
            if (EqualsIgnoreCase(wanted, name)) streams[wanted] = head + all.substr(start, end - start);
    }
    return streams;
}

}  // namespace

StarSky::StarSky(RStage& stage, std::span<const unsigned char> mainStream, std::mt19937& random)
    : stage_(stage), random_(random) {
    std::vector<RSprite*> stars;
    std::vector<std::string> names;
    for (RComponent* component : stage.GetComponents()) {
        auto* sprite = dynamic_cast<RSprite*>(component);
        if (sprite && TextToBool(sprite->GetTagValue("Sterretje", ""))) {
            stars.push_back(sprite);
            names.push_back(sprite->GetName());
        }
    }
    const auto streams = SingleObjectStreams(mainStream, names);
    for (RSprite* star : stars) {
        const int count = std::clamp(TextToInt(star->GetTagValue("Frequency", "1")), 0, kMostCopies);
        for (int i = 0; i < count; ++i) {
            RSprite* sprite = star;
            if (i > 0) {
                // A manager of its own per copy: a second load into one registry would reload in place.
                auto* copy = MakeOwned<RComponentManager>(star->GetName() + "#" + std::to_string(i), &stage);
                std::istringstream in(streams.at(star->GetName()));
                copy->AddComponentStream(&in);
                sprite = &copy->FindComponentAs<RSprite>(star->GetName());
                stage.RegisterComponent(sprite);
                copies_.push_back(sprite);
            }
            Floater floater;
            floater.sprite = sprite;
            floater.startX = static_cast<float>(TextToFloat(star->GetTagValue("StartX", "-100")));
            floater.endX = static_cast<float>(TextToFloat(star->GetTagValue("EndX", "100")));
            floater.pre = star->GetTagValue("Pre", "");
            floater.during = star->GetTagValue("During", "");
            floater.post = star->GetTagValue("Post", "");
            if (floater.during.empty()) floater.during = floater.pre;
            if (floater.post.empty()) floater.post = floater.pre;
            std::string speed = star->GetTagValue("Speed", "100");
            floater.speedMin = static_cast<float>(TextToFloat(SplitOff(speed, "-")));
            floater.speedMax = speed.empty() ? floater.speedMin : static_cast<float>(TextToFloat(speed));
            sprite->SetVisible(false);
            floaters_.push_back(floater);
        }
        if (count == 0) star->SetVisible(false);
    }
    for (Floater& floater : floaters_) idle_.push_back(&floater);
}

StarSky::~StarSky() {
    // The copies die with their managers, after the stage stops listing them.
    for (RSprite* copy : copies_) stage_.UnregisterComponent(copy);
}

// Drawn straight from the generator's bits: the standard distributions are
// free to differ between libraries, and the golden frames must not.
float StarSky::RandomFloat(float below) {
    return below > 0 ? below * static_cast<float>(random_() >> 8) / 16777216.0f : 0.0f;
}

std::uint32_t StarSky::RandomBelow(std::uint32_t count) { return static_cast<std::uint32_t>(random_() % count); }

StarSky::Floater* StarSky::Launch() {
    if (idle_.empty()) return nullptr;
    const std::size_t pick = RandomBelow(static_cast<std::uint32_t>(idle_.size()));
    Floater* floater = idle_[pick];
    idle_.erase(idle_.begin() + static_cast<std::ptrdiff_t>(pick));
    active_.push_back(floater);
    floater->sprite->SetVisible(true);
    Update(*floater);
    floater->speed = floater->speedMin + RandomFloat(floater->speedMax - floater->speedMin);
    return floater;
}

float StarSky::Height(const Floater& floater) {
    RSpriteFrame* frame = floater.sprite->GetCurFrame();
    return frame && frame->GetSurface() ? frame->GetSurface()->GetHeight() : 0.0f;
}

void StarSky::Update(Floater& floater) {
    RSprite& sprite = *floater.sprite;
    const float x = sprite.GetLeft();
    const std::string& wanted = x < floater.startX ? floater.pre : x < floater.endX ? floater.during : floater.post;
    RPixieSequencer* current = sprite.GetCurrentSequencer();
    if (!wanted.empty() && (!current || !EqualsIgnoreCase(current->GetName(), wanted)))
        sprite.Run(wanted, -1, kKeepCoordinate, kKeepCoordinate, kKeepCoordinate);
}

void StarSky::Scatter() {
    const RRect window = stage_.GetWindowRect();
    // Each at a depth of its own too: a star left at depth 0 would be drawn over the ship.
    while (Floater* floater = Launch()) {
        const float x = RandomFloat(window.width), y = RandomFloat(window.height - Height(*floater));
        floater->sprite->SetPosition(x, y, RandomFloat(900.0f) + 100.0f);
    }
}

void StarSky::Tick() {
    const RRect window = stage_.GetWindowRect();
    for (std::size_t i = 0; i < active_.size();) {
        Floater* floater = active_[i];
        floater->sprite->MoveBy(static_cast<float>(floater->speed * 2.0 * kTickMs / 1000.0), 0, 0);
        Update(*floater);
        if (floater->sprite->GetLeft() > window.width) {
            active_.erase(active_.begin() + static_cast<std::ptrdiff_t>(i));
            idle_.push_back(floater);
            floater->sprite->Stop();
            floater->sprite->SetVisible(false);
        } else {
            ++i;
        }
    }
    if (RandomBelow(1000) <= 75) {
        if (Floater* floater = Launch()) {
            const float y = RandomFloat(window.height - Height(*floater));
            floater->sprite->SetPosition(-100, y, RandomFloat(900.0f) + 100.0f);
        }
    }
}

}  // namespace quellmoor
