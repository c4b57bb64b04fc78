#include "scenes/Show.h"

#include "animation/Picture.h"
#include "animation/Sprite.h"
#include "model/Exceptions.h"
#include "model/Lifetime.h"
#include "model/Text.h"
#include "scenes/Random.h"
#include "scenes/SceneManager.h"
#include "scenes/SpaceShip.h"
#include "stage/Stage.h"

namespace quellmoor {

namespace {

// The stage destroys what it owns in the order it was made, but the manager
// and its scenes use the ship up to their destructors. Made before the ship,
// the keeper goes first and takes the manager with it.
class ShowKeeper : public RComponent {
public:
    explicit ShowKeeper(RStage& stage) : RComponent("ShowKeeper", &stage) {}
    ~ShowKeeper() override {
        if (RSceneManager* manager = manager_.Get())
            if (RComponent* owner = manager->GetOwner()) owner->ReleaseOwned(manager).reset();
    }
    void Keep(RSceneManager* manager) { manager_ = manager; }

private:
    RHandle<RSceneManager> manager_;
};

// The ship cannot be composed from a picture that holds no image.
const RSurface& SurfaceOf(const RPicture& picture) {
    if (const RSurface* surface = picture.GetSurface()) return *surface;
    throw RException("The picture " + picture.GetName() + " holds no image.");
}

}  // namespace

std::vector<RSprite*> FindStars(const RStage& stage) {
    std::vector<RSprite*> stars;
    for (RComponent* component : stage.GetComponents())
        if (auto* sprite = dynamic_cast<RSprite*>(component);
            sprite && TextToBool(sprite->GetTagValue("Sterretje", "")))
            stars.push_back(sprite);
    return stars;
}

BuiltShow BuildShow(RStage& stage, const ShowSettings& settings) {
    // Fetched in this order, so the first missing one is the one named.
    auto& outline = stage.FindComponentAs<RPicture>("Ship-Outline");
    auto& skin = stage.FindComponentAs<RPicture>("Ship-Skin");
    auto& inside = stage.FindComponentAs<RPicture>("Ship-Inside");
    auto& engine = stage.FindComponentAs<RSprite>("Ship-Engine");
    auto& land = stage.FindComponentAs<RPicture>("Ship-Land");
    auto& mascot = stage.FindComponentAs<RSprite>("Vexmon");

    mascot.SetVisible(false);
    mascot.MoveTo(100, 100);
    LoadShipSkin(stage, settings.dir, settings.skin);

    auto* keeper = MakeOwned<ShowKeeper>(stage);
    BuiltShow show;
    show.ship = MakeOwned<RSpaceShip>(SurfaceOf(outline), SurfaceOf(skin), SurfaceOf(inside), SurfaceOf(land), engine,
                                      mascot, stage);
    stage.RegisterComponent(show.ship);
    show.ship->SetEngine(true, settings.engine);

    show.manager = MakeOwned<RSceneManager>(*show.ship, mascot, stage);
    stage.RegisterComponent(show.manager);
    keeper->Keep(show.manager);
    // Collected first: every star added puts its copies into the same list.
    for (RSprite* star : FindStars(stage)) show.manager->AddFloatSprite(*star, 4.0f);
    SeedRandom(settings.seed);
    show.manager->LoadScenes(settings.dir);
    show.manager->StartShow();
    return show;
}

}  // namespace quellmoor
