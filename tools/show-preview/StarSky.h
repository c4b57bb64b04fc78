// StarSky: the preview's drifting stars, made the way the show makes its sky.
//
// Every sprite of the main stream tagged Sterretje=True becomes Frequency
// copies (the sprite itself and fresh loads of its object from the stream),
// each a floater with a speed drawn from Speed ("min-max", pixels per second
// halved) that crosses the window from left to right at a random depth behind
// the ship, playing its Pre, During or Post sequence by where its left edge is
// against StartX and EndX. Tick moves them by one 25 ms step, retires those
// past the right edge and now and then launches an idle one from x = -100.
//
//   StarSky sky(stage, EmbeddedMainStream(), random);
//   sky.Scatter();            // fill the window once
//   sky.Tick();               // every 25 ms
#pragma once

#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace quellmoor {

class RSprite;
class RStage;

class StarSky {
public:
    StarSky(RStage& stage, std::span<const unsigned char> mainStream, std::mt19937& random);
    ~StarSky();
    StarSky(const StarSky&) = delete;
    StarSky& operator=(const StarSky&) = delete;

    void Scatter();
    void Tick();

    std::size_t FloaterCount() const { return active_.size() + idle_.size(); }

private:
    struct Floater {
        RSprite* sprite = nullptr;
        float startX = 0, endX = 0, speedMin = 0, speedMax = 0, speed = 0;
        std::string pre, during, post;
    };
    Floater* Launch();
    static float Height(const Floater& floater);
    void Update(Floater& floater);
    float RandomFloat(float below);
    std::uint32_t RandomBelow(std::uint32_t count);

    RStage& stage_;
    std::mt19937& random_;
    std::vector<Floater> floaters_;
    std::vector<Floater*> active_, idle_;
    std::vector<RSprite*> copies_;  // loaded here, owned by their managers on the stage
};

}  // namespace quellmoor
