#include "stage/OffscreenStage.h"

#include <sstream>

#include "imaging/Surface.h"

namespace quellmoor {

ROffscreenStage::ROffscreenStage(std::string programName) : programName_(std::move(programName)) {
    background_ = CreateSurface(64, 48);
    stageImage_ = CloneSurface(*background_);
}

std::unique_ptr<RSurface> ROffscreenStage::CreateSurface(float width, float height) {
    return std::make_unique<RDibSurface>(width, height);
}

RRect ROffscreenStage::GetWindowRect() {
    if (const RSurface* image = GetStageImage()) return {0, 0, image->GetWidth(), image->GetHeight()};
    if (const RSurface* background = GetBackground()) return {0, 0, background->GetWidth(), background->GetHeight()};
    return {};
}

void ROffscreenStage::LoadStream(const std::string& bytes) {
    std::istringstream in(bytes);
    RComponentManager::AddComponentStream(&in);
}

}  // namespace quellmoor
