#include "animation/TextBlock.h"

#include "model/StreamReaders.h"
#include "model/Text.h"

namespace quellmoor {

bool RTextBlock::LoadPropFromStream(const std::string& name, std::istream& in, int& counter) {
    if (!EqualsIgnoreCase(name, "Contents")) return false;
    LoadWrappedStringList(contents_, in, counter);
    return true;
}

}  // namespace quellmoor
