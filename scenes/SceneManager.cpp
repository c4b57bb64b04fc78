#include "scenes/SceneManager.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>

#include "animation/Sprite.h"
#include "model/ComponentManager.h"
#include "model/Exceptions.h"
#include "model/Text.h"
#include "scenes/ContentPaths.h"
#include "scenes/Control.h"
#include "scenes/Floater.h"
#include "scenes/InShipScene.h"
#include "scenes/MeetingScene.h"
#include "scenes/MovingScene.h"
#include "scenes/PlanetScene.h"
#include "scenes/Random.h"
#include "scenes/Report.h"
#include "scenes/Scene.h"
#include "scenes/SpaceShip.h"
#include "stage/Stage.h"

namespace quellmoor {

namespace {

// Weights come from files (atof): keep them finite and within bounds.
float ClampWeight(double weight) {
    if (!(weight > 0)) return 0.0f;  // also NaN
    return static_cast<float>(std::min<double>(weight, RSceneManager::kMaxWeight));
}

bool EqualsNoCase(std::string_view a, std::string_view b) { return ToLowerAscii(a) == ToLowerAscii(b); }

template <class T>
void Erase(std::vector<T*>& list, T* item) {
    list.erase(std::find(list.begin(), list.end(), item));
}

}  // namespace

RSceneManager::RSceneManager(RSpaceShip& ship, RSprite& mascot, RStage& stage)
    : RTimer("DeepThought", &stage, kTickMs, true), ship_(ship), shipAlive_(&ship), mascot_(mascot), stage_(stage) {}

RSceneManager::~RSceneManager() {
    // The ship may hold a scene's mail sprite, which dies with the scene's library.
    if (RSpaceShip* ship = shipAlive_.Get()) ship->SetMail(nullptr);
}

std::pair<float, float> RSceneManager::WindowSize() const {
    RRect window = stage_.GetWindowRect();
    return {window.width, window.height};
}

void RSceneManager::PlayContentSound(std::string_view name) {
    if (!stage_.IsSoundEnabled()) return;
    if (auto path = FindSound(dir_, name)) {
        stage_.PlaySound(*path);
    } else if (!dir_.empty()) {
        ReportOnce("The sound " + std::string(name) + " is not in " + dir_ + ".");
    }
}

// --- Loading

void RSceneManager::AddFloatSprite(const RSprite& sprite, float weight) {
    auto [width, height] = WindowSize();
    const float startX = static_cast<float>(TextToFloat(sprite.GetTagValue("StartX", "-100"))) + width * 0.5f;
    // Half the height, not the width: the end of the middle stretch is meant so.
    const float endX = static_cast<float>(TextToFloat(sprite.GetTagValue("EndX", "100"))) + height * 0.5f;
    int count = TextToInt(sprite.GetTagValue("Frequency", "1"));
    if (count > kMaxFloaterCopies) {
        ReportOnce("The sky sprite " + sprite.GetName() + " asks for " + std::to_string(count) + " copies; it gets " +
                   std::to_string(kMaxFloaterCopies) + ".");
        count = kMaxFloaterCopies;
    }
    const std::string speed = sprite.GetTagValue("Speed", "100");
    const int intWeight = static_cast<int>(ClampWeight(weight));
    for (int i = 0; i < count; ++i) {
        std::string name = sprite.GetName();
        if (i > 0) name += static_cast<char>(i & 0xFF);
        RSprite* clone = sprite.CopyAs(std::move(name), stage_);
        stage_.RegisterComponent(clone);
        auto floater = std::make_unique<RFloater>(clone, startX, endX, sprite.GetTagValue("Pre", ""),
                                                  sprite.GetTagValue("During", ""), sprite.GetTagValue("Post", ""),
                                                  speed, intWeight);
        floater->SetVisible(false);
        idleFloaters_.push_back(floater.get());
        floaters_.push_back(std::move(floater));
    }
}

void RSceneManager::LoadScenes(const std::string& directory) {
    dir_ = directory;
    for (const SceneFile& file : ListSceneFiles(directory)) LoadSceneFile(file.name, file.path);
}

// Each file on its own: one that cannot be read or played is left out.
void RSceneManager::LoadSceneFile(const std::string& name, const std::string& path) {
    auto* library = MakeOwned<RComponentManager>(path, this);
    try {
        std::ifstream in(path, std::ios::binary);
        if (!in) throw RParamException("The scene file " + path + " cannot be opened.");
        library->AddComponentStream(&in);
        library->AddComponentsTo(stage_);

        const std::string type = ToLowerAscii(library->GetHeaderValue("Type", ""));
        if (type == "rfloatlib" || type == "rfloatscene") {
            floatLibraries_.push_back(library);
            for (RComponent* component : library->GetComponents())
                if (auto* sprite = dynamic_cast<RSprite*>(component)) AddFloatSprite(*sprite, 1.0f);
        } else {
            RScene* scene = CreateScene(name, *library);
            if (!scene) throw RParamException("Zeg tegen Tuk dat hij geen type in " + name + " heeft ingevuld");
            scene->preferredNextScene = library->GetHeaderValue("PreferredNextScene", "");
            double base = TextToFloat(library->GetHeaderValue("Frequency", "30"));
            // Scenes never chosen before are twice as likely.
            if (TextToInt(ReadControl(name, "0")) != 1) base *= 2;
            scene->baseFrequency = ClampWeight(base);
            scene->weight = scene->baseFrequency;
            scenes_.push_back(scene);
        }
        library->RemoveComponentsFrom(stage_);
    } catch (const RStreamException& error) {
        ReportOnce("The scene file " + name + " is damaged: " + error.what());
        DropLibrary(*library);
    } catch (const std::exception& error) {
        ReportOnce(error.what());
        DropLibrary(*library);
    }
}

void RSceneManager::DropLibrary(RComponentManager& library) {
    library.RemoveComponentsFrom(stage_);
    std::erase(floatLibraries_, &library);
    ReleaseOwned(&library);  // destroys it
}

RScene* RSceneManager::CreateScene(const std::string& name, RComponentManager& library) {
    const std::string type = ToLowerAscii(library.GetHeaderValue("Type", ""));
    if (type == "rplanetscene") return MakeOwned<RPlanetScene>(library, name, *this);
    if (type == "rmeetingscene") return MakeOwned<RMeetingScene>(library, name, *this);
    if (type == "rmovingscene") return MakeOwned<RMovingScene>(library, name, *this);
    if (type == "rinshipscene") return MakeOwned<RInShipScene>(library, name, *this);
    return nullptr;
}

// --- The sky

RFloater* RSceneManager::PickFloater() {
    if (idleFloaters_.empty()) return nullptr;
    long long total = 0;
    for (const RFloater* floater : idleFloaters_) total += floater->GetWeight();
    const int r = RandomInt(static_cast<int>(std::min<long long>(total, std::numeric_limits<int>::max())));
    auto picked = idleFloaters_.begin();
    long long sum = 0;
    for (auto it = idleFloaters_.begin(); it != idleFloaters_.end(); ++it) {
        sum += (*it)->GetWeight();
        picked = it;
        if (sum >= r) break;
    }
    RFloater* floater = *picked;
    activeFloaters_.push_back(floater);
    idleFloaters_.erase(picked);
    floater->SetVisible(true);
    floater->Update();
    floater->SetSpeed(static_cast<float>(RandomRange(floater->GetSpeedMin(), floater->GetSpeedMax())));
    return floater;
}

void RSceneManager::SkyTick() {
    auto [width, height] = WindowSize();
    for (std::size_t i = 0; i < activeFloaters_.size();) {
        RFloater* floater = activeFloaters_[i];
        floater->MoveBy(floater->GetSpeed() * 2.0f * static_cast<float>(GetInterval()) / 1000.0f, 0, 0);
        floater->Update();
        if (floater->GetLeft() > width) {
            idleFloaters_.push_back(floater);
            activeFloaters_.erase(activeFloaters_.begin() + static_cast<std::ptrdiff_t>(i));
            floater->StopSequence();
            floater->SetVisible(false);
        } else {
            ++i;
        }
    }
    if (RandomInt(1000) <= 75) {
        if (RFloater* floater = PickFloater()) {
            const auto y = static_cast<float>(Random(height - floater->GetHeight()));
            const auto z = static_cast<float>(Random(900.0) + 100.0);
            floater->SetPosition(-100, y, z);
        }
    }
    if (RandomInt(1000) <= 2) PlayContentSound("brax" + std::to_string(1 + RandomInt(9)));
}

void RSceneManager::StartShow() {
    auto [width, height] = WindowSize();
    const auto floaterCount = static_cast<long long>(idleFloaters_.size());
    double speedSum = 0;
    for (const RFloater* floater : idleFloaters_) speedSum += (floater->GetSpeedMin() + floater->GetSpeedMax()) / 2;
    // Enough floaters to fill the window at the mean speed; never more than exist.
    long long count = floaterCount;
    if (floaterCount > 0 && speedSum > 0) {
        const double average = speedSum / static_cast<double>(floaterCount);
        const double wanted = 2 * (width / average) * 75 * kTickMs / 1000;
        if (std::isfinite(wanted)) count = std::min(count, static_cast<long long>(std::max(wanted, 0.0)));
    }
    RFloater* floater = nullptr;
    do {
        floater = PickFloater();
        if (floater) {
            const auto y = static_cast<float>(Random(height - floater->GetHeight()));
            const auto x = static_cast<float>(Random(width));
            floater->MoveTo(x, y);
            if (floater->GetSpeed() == 0) break;
        }
        --count;
    } while (count > 0 && floater);

    SetSkyActive(true);
    SetEnabled(true);
    stage_.SetBackColor(0);
    SceneEnded(nullptr);
    PlaceShip();
}

void RSceneManager::SetSkyActive(bool on) {
    if (skyActive_ == on) return;
    skyActive_ = on;
    for (RFloater* floater : activeFloaters_) floater->SetVisible(on);
    if (on) PlaceShip();
}

void RSceneManager::PlaceShip() {
    auto [width, height] = WindowSize();
    const float hover = ship_.GetHoverOffset();
    ship_.SetPosition(width * 0.5f, (height + hover) * 0.5f, 1.0f);
    ship_.SetVisible(true);
    ship_.engineAmount = 0;
    ship_.gearAmount = 0;
    ship_.scale = 1.0f;
}

// --- Scenes

void RSceneManager::ShowScene(RScene& scene) {
    scene.ShowSkyItems(stage_);
    stage_.FadeTransition(true);
}

void RSceneManager::SceneEnded(RScene* scene) {
    if (scene && !scene->KeepsSky()) {
        stage_.SetBackColor(0);
        SetSkyActive(true);
        PlaceShip();
        stage_.FadeTransition(true);
    }
    currentScene_ = nullptr;
}

void RSceneManager::OnTimerTick() {
    if (!currentScene_ && !ship_.IsShowingMail()) ChooseNextScene();
    if (skyActive_) SkyTick();
}

void RSceneManager::ChooseNextScene() {
    if (scenes_.empty()) {
        SceneEnded(nullptr);
        return;
    }
    std::size_t chosen = 0;
    if (scenes_.size() > 1) {
        double total = 0;
        for (const RScene* scene : scenes_) total = std::trunc(total + scene->weight);
        const int r = RandomInt(static_cast<int>(std::min<double>(total, std::numeric_limits<int>::max())));
        double sum = scenes_[0]->weight;
        while (sum < r && chosen + 1 < scenes_.size()) sum = std::trunc(sum) + scenes_[++chosen]->weight;

        for (RScene* scene : scenes_) scene->weight = ClampWeight(0.8 * scene->weight + 0.2 * scene->baseFrequency);
        scenes_[chosen]->weight = 5.0f;
        if (const std::string& preferred = scenes_[chosen]->preferredNextScene; !preferred.empty())
            for (RScene* scene : scenes_)
                if (EqualsNoCase(scene->GetName(), preferred)) scene->weight = 200.0f;
    }
    currentScene_ = scenes_[chosen];
    WriteControl(currentScene_->GetName(), "1");
    currentScene_->Start(*this);
}

}  // namespace quellmoor
