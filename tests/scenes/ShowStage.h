// The show on a windowless 800 x 600 stage for the scene tests: the built main
// stream, the ship and the scene manager as start-up makes them, and a scenes
// directory holding only the files a test names (copied from the built
// content, or written by the test), so each test plays what it means to.
//
//   ShowStage show({"Planet-Ice.RCS"});
//   show.Begin();                       // LoadScenes + StartShow
//   show.RunUntil(show.nowMs + 1000);   // a second of the show
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "model/Text.h"
#include "platform/headless/HeadlessPlatform.h"
#include "scenes/Random.h"
#include "scenes/Report.h"
#include "scenes/Scene.h"
#include "scenes/SceneManager.h"
#include "tests/scenes/ShipStage.h"

namespace quellmoor::shiptest {

// Installed before the stage is made and removed after it died.
struct CurrentHeadless {
    CurrentHeadless() { platform::SetCurrentPlatform(&headless); }
    ~CurrentHeadless() { platform::SetCurrentPlatform(nullptr); }
    platform::HeadlessPlatform headless;
};

class ShowStage : private CurrentHeadless, public ShipStage {
public:
    static constexpr int kShowWidth = 800, kShowHeight = 600;

    explicit ShowStage(const std::vector<std::string>& sceneFiles = {}, int width = kShowWidth,
                       int height = kShowHeight)
        : ShipStage(width, height) {
        dir = std::filesystem::temp_directory_path() /
              ("vexmon-show-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        // Windows (and Wine) may refuse symbolic links: a copy serves as well.
        std::error_code noLink;
        std::filesystem::create_directory_symlink(ContentDir() + "/Sounds", dir / "Sounds", noLink);
        if (noLink) std::filesystem::copy(ContentDir() + "/Sounds", dir / "Sounds");
        for (const std::string& file : sceneFiles)
            std::filesystem::copy_file(ContentDir() + "/" + file, dir / file);
        ship = &MakeShip(static_cast<float>(width) / 2, static_cast<float>(height) / 2);
        manager = MakeOwned<RSceneManager>(*ship, Mascot(), *this);
        SetReportSink([this](const std::string& message) { reports.push_back(message); });
    }
    ~ShowStage() override {
        SetReportSink({});
        ForgetReports();
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    // Writes a file of its own into the scenes directory.
    void WriteSceneFile(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }

    // Start-up's order: the stars, the seed, the scenes, the show.
    void Begin(std::uint32_t seed = 1997, bool withStars = true) {
        if (withStars)
            for (RComponent* component : std::vector<RComponent*>(GetComponents()))
                if (auto* sprite = dynamic_cast<RSprite*>(component);
                    sprite && TextToBool(sprite->GetTagValue("Sterretje", "False")))
                    manager->AddFloatSprite(*sprite, 4.0f);
        SeedRandom(seed);
        manager->LoadScenes(dir.string());
        manager->StartShow();
    }

    RScene* FindScene(const std::string& name) const {
        for (RScene* scene : manager->GetScenes())
            if (scene->GetName() == name) return scene;
        return nullptr;
    }

    platform::HeadlessPlatform& Platform() { return headless; }
    // Paths of the sounds the show asked to play, in order (the last 256).
    std::vector<std::string> PlayedSounds() const {
        std::vector<std::string> paths;
        for (const auto& request : headless.SoundRequests().Recent())
            if (!request.path.empty()) paths.push_back(request.path);
        return paths;
    }

    std::filesystem::path dir;
    RSpaceShip* ship = nullptr;
    RSceneManager* manager = nullptr;
    std::vector<std::string> reports;
};

}  // namespace quellmoor::shiptest
