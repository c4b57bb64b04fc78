#include "animation/Sprite.h"

#include "animation/PixieDrawing.h"
#include "animation/RecordReader.h"
#include "animation/Sequencer.h"
#include "imaging/Surface.h"
#include "model/StreamReaders.h"
#include "model/Text.h"

namespace quellmoor {

RSpriteFrame::RSpriteFrame(std::string name, RComponent* owner, float hotSpotX, float hotSpotY,
                           std::int32_t transColor)
    : RComponent(std::move(name), owner), hotSpotX_(hotSpotX), hotSpotY_(hotSpotY), transColor_(transColor) {}

RSpriteFrame::~RSpriteFrame() = default;

namespace {

std::uint64_t NextSurfaceGeneration() {
    static std::uint64_t last = 0;
    return ++last;
}

}  // namespace

std::shared_ptr<RSurface> RSpriteFrame::SetSurface(std::shared_ptr<RSurface> surface) {
    std::swap(surface, surface_);
    surfaceGeneration_ = surface_ ? NextSurfaceGeneration() : 0;
    if (surface_) surface_->SetTransColor(transColor_);
    return surface;
}

void RSpriteFrame::Draw(RSurface& destination, float x, float y, const std::vector<RRect>* clipRects,
                        bool mirrorHorizontal, bool mirrorVertical) {
    if (surface_) DrawSurfaceAt(destination, *surface_, x, y, clipRects, mirrorHorizontal, mirrorVertical);
}

RSprite::RSprite(std::string name, RComponent* owner) : RPlacedPixie(std::move(name), owner) {}

RSprite::~RSprite() { ReleaseCoveredArea(bounds_); }

RSprite* RSprite::CopyAs(std::string name, RComponent& owner) const {
    auto* copy = MakeOwned<RSprite>(std::move(name), &owner);
    copy->SetPosition(GetXPos(), GetYPos(), GetZPos());
    copy->SetVisible(GetVisible());
    copy->mirrorHorizontal = mirrorHorizontal;
    copy->mirrorVertical = mirrorVertical;
    copy->curFrameName_ = curFrameName_;
    for (const RSpriteFrame* frame : frames_) {
        auto* shared = MakeOwned<RSpriteFrame>(frame->GetName(), copy, frame->GetHotSpotX(), frame->GetHotSpotY(),
                                               frame->GetTransColor());
        copy->frames_.push_back(shared);
        shared->SetSurface(frame->GetSharedSurface());
        if (frame == curFrame_) copy->curFrame_ = shared;
    }
    for (const RPixieSequencer* sequence : sequences_) {
        auto* player = MakeOwned<RPixieSequencer>(sequence->GetName(), copy);
        copy->sequences_.push_back(player);
        player->CopyStepsOf(*sequence);
    }
    return copy;
}

bool RSprite::LoadPropFromStream(const std::string& name, std::istream& in, int& counter) {
    if (RPixie::LoadPropFromStream(name, in, counter)) return true;
    if (EqualsIgnoreCase(name, "CurFrameName")) {
        SetCurFrameName(LoadStringFromStream(in, counter));
        return true;
    }
    if (EqualsIgnoreCase(name, "FrameList")) {
        counter = LoadFrameList(in);
        return true;
    }
    if (EqualsIgnoreCase(name, "SequenceList")) {
        counter = LoadSequenceList(in);
        return true;
    }
    return false;
}

namespace {

// Loads the record's bitmap into a fresh surface; reading resumes at the
// bitmap's declared end whatever the bitmap itself consumed.
std::unique_ptr<RSurface> LoadFrameSurface(std::istream& in, RecordReader& record) {
    auto surface = MakeSurface(1.0f, 1.0f);
    const std::int32_t declared = record.ReadInteger();
    if (declared < 0 || declared > record.Remaining())
        throw RStreamException("FrameList holds a bitmap whose length does not fit its record.");
    int consumed = 0;
    surface->LoadFromStream(in, consumed);
    if (consumed != declared && in.good()) in.seekg(static_cast<std::streamoff>(declared) - consumed, std::ios::cur);
    record.Charge(declared);
    return surface;
}

}  // namespace

int RSprite::LoadFrameList(std::istream& in) {
    RecordReader list(in, "FrameList");
    const std::int32_t count = list.ReadInteger();
    for (std::int32_t i = 0; i < count; ++i) {
        RecordReader record(in, "FrameList");
        std::string frameName;
        float hotSpotX = 0, hotSpotY = 0;
        std::int32_t transColor = -1;
        std::unique_ptr<RSurface> surface;
        while (record.HasMore()) {
            const std::string key = record.ReadText();
            if (EqualsIgnoreCase(key, "Name")) frameName = record.ReadText();
            else if (EqualsIgnoreCase(key, "Transparent")) transColor = record.ReadColor();
            else if (EqualsIgnoreCase(key, "HotSpotX")) hotSpotX = record.ReadCoordinate();
            else if (EqualsIgnoreCase(key, "HotSpotY")) hotSpotY = record.ReadCoordinate();
            else if (EqualsIgnoreCase(key, "Surface")) surface = LoadFrameSurface(in, record);
            else record.ReadText();
        }
        list.Charge(record.Consumed());
        auto* frame = MakeOwned<RSpriteFrame>(frameName, this, hotSpotX, hotSpotY, transColor);
        frames_.push_back(frame);
        frame->SetSurface(std::move(surface));
    }
    return list.Consumed();
}

int RSprite::LoadSequenceList(std::istream& in) {
    RecordReader list(in, "SequenceList");
    const std::int32_t count = list.ReadInteger();
    for (std::int32_t i = 0; i < count; ++i) {
        RecordReader record(in, "SequenceList");
        const std::string sequenceName = record.ReadText();
        auto* sequencer = MakeOwned<RPixieSequencer>(sequenceName, this);
        sequences_.push_back(sequencer);
        int used = 0;
        sequencer->LoadFromStream(in, used);
        record.Charge(used);
        if (record.HasMore()) {
            SkipBytes(in, record.Remaining());
            record.Charge(record.Remaining());
        }
        list.Charge(record.Consumed());
    }
    return list.Consumed();
}

RSpriteFrame* RSprite::FindFrameByName(const std::string& name) const {
    if (name.empty() && !frames_.empty()) return frames_.front();
    for (RSpriteFrame* frame : frames_)
        if (EqualsIgnoreCase(frame->GetName(), name)) return frame;
    throw RFindException("Sprite(" + GetName() + ")::FindFrameByName (" + name + ") Frame does not exist.");
}

RSpriteFrame* RSprite::GetCurFrame() {
    if (!curFrame_) curFrame_ = FindFrameByName(curFrameName_);
    if (!curFrame_) throw RSpriteException("GetCurFrame: Frame not found!");
    return curFrame_;
}

void RSprite::SetCurFrameName(const std::string& name) {
    if (curFrame_) {
        RSpriteFrame* frame = FindFrameByName(name);
        if (!frame) throw RSpriteException("SetCurFrameName: Frame not found!");
        curFrame_ = frame;
    }
    curFrameName_ = name;
}

RPixieSequencer* RSprite::FindSequence(const std::string& name) const {
    for (RPixieSequencer* sequence : sequences_)
        if (EqualsIgnoreCase(sequence->GetName(), name)) return sequence;
    return nullptr;
}

void RSprite::Run(const std::string& sequenceName, int repeatCount, float x, float y, float z) {
    RPixieSequencer* sequencer = FindSequence(sequenceName);
    if (!sequencer) throw RFindException("Sprite::Run(" + sequenceName + ") Sequence does not exist.");
    Stop();
    SetPosition(x == kKeepCoordinate ? GetXPos() : x, y == kKeepCoordinate ? GetYPos() : y,
                z == kKeepCoordinate ? GetZPos() : z);
    currentSequencer_ = sequencer;
    sequencer->Start(this, repeatCount);
}

void RSprite::Stop() {
    if (!currentSequencer_) return;
    RPixieSequencer* stopping = currentSequencer_;
    currentSequencer_ = nullptr;
    stopping->SetEnabled(false);
}

void RSprite::SequenceFinished(RPixieSequencer* sequencer) {
    const RHandle<RSprite> self(this);
    RPixie::SequenceFinished(sequencer);
    if (!self) return;  // a handler removed this sprite
    if (sequencer == currentSequencer_ && sequencer->GetRepeatCount() == 0) currentSequencer_ = nullptr;
}

void RSprite::OwnedReleased(RComponent* child) {
    std::erase(frames_, child);
    std::erase(sequences_, child);
    if (curFrame_ == child) curFrame_ = nullptr;
    if (currentSequencer_ == child) currentSequencer_ = nullptr;
}

bool RSprite::UpdateBounds() {
    // Only what Draw shows counts: a hidden sprite, or one without frames,
    // covers nothing, and asking it for a frame must not throw.
    RSurface* surface = nullptr;
    std::uint64_t generation = 0;
    if (GetVisible() && !(frames_.empty() && curFrameName_.empty())) {
        surface = GetCurFrame()->GetSurface();
        generation = GetCurFrame()->GetSurfaceGeneration();
    }
    const std::uint64_t look = generation << 2 | (mirrorHorizontal ? 1u : 0u) | (mirrorVertical ? 2u : 0u);
    return UpdateCoveredArea(*this, bounds_, surface ? surface->GetWidth() : 0, surface ? surface->GetHeight() : 0,
                             look);
}

void RSprite::Draw(RSurface& destination, float x, float y, const std::vector<RRect>* clipRects) {
    if (frames_.empty() && curFrameName_.empty()) return;  // nothing to show yet
    GetCurFrame()->Draw(destination, x, y, clipRects, mirrorHorizontal, mirrorVertical);
}

}  // namespace quellmoor
