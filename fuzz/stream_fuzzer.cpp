// Arbitrary bytes into AddComponentStream with every loadable class registered.
// Anything but an RException escaping, a crash, a hang or a huge allocation is a bug.
#include <cstdint>
#include <sstream>
#include <string>

#include "model/ComponentManager.h"
#include "model/Exceptions.h"
#ifdef QM_HAVE_ANIMATION
#include "animation/Registration.h"
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
#ifdef QM_HAVE_ANIMATION
    static const bool registered = (quellmoor::RegisterAnimationClasses(), true);
    (void)registered;
#endif
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    quellmoor::RComponentManager manager("fuzz", nullptr);
    try {
        manager.AddComponentStream(&in);
    } catch (const quellmoor::RException&) {
    }
    return 0;
}
