#include "animation/Registration.h"

#include "animation/Director.h"
#include "animation/Picture.h"
#include "animation/Sprite.h"
#include "animation/TextBlock.h"
#include "model/ClassFactory.h"
#include "stage/Timer.h"

namespace quellmoor {

namespace {

template <class T>
RComponent* Create(const std::string& name, RComponent* owner) {
    return MakeOwned<T>(name, owner);
}

RComponent* CreateTimer(const std::string& name, RComponent* owner) {
    return MakeOwned<RTimer>(name, owner, 50.0, false);
}

}  // namespace

void RegisterAnimationClasses() {
    RegisterComponentClass("RPicture", &Create<RPicture>);
    RegisterComponentClass("RSprite", &Create<RSprite>);
    RegisterComponentClass("RTimer", &CreateTimer);
    RegisterComponentClass("RText", &Create<RTextBlock>);
    RegisterComponentClass("RDirector", &Create<RDirector>);
}

}  // namespace quellmoor
