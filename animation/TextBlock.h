// RTextBlock (stream class "RText"): a component holding lines of text; the
// talking scenes keep their dialogues in text blocks.
#pragma once

#include <string>
#include <vector>

#include "model/Component.h"

namespace quellmoor {

class RTextBlock : public RComponent {
public:
    using RComponent::RComponent;

    // Knows only "Contents"; every other name is left to the loader to skip.
    bool LoadPropFromStream(const std::string& name, std::istream& in, int& counter) override;
    std::string GetClassName() const override { return "RTextBlock"; }

    const std::vector<std::string>& GetContents() const { return contents_; }

private:
    std::vector<std::string> contents_;
};

}  // namespace quellmoor
