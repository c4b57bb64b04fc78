#include "tools/rcs/EngineCheck.h"

#include <exception>
#include <sstream>

#include "animation/Registration.h"
#include "model/Exceptions.h"
#include "platform/headless/HeadlessPlatform.h"
#include "stage/OffscreenStage.h"
#include "tools/rcs/StreamDump.h"

namespace rcs {

namespace {

// Keeps the first message the stage would have shown in its exception box.
class CheckingStage : public quellmoor::ROffscreenStage {
public:
    CheckingStage() : ROffscreenStage("rcs") {}
    void ShowException(const std::string& message) override {
        if (!refusal) refusal = message;
    }
    std::optional<std::string> refusal;
};

// Makes a headless backend current for the check, unless one already is.
class HeadlessScope {
public:
    HeadlessScope() {
        if (quellmoor::platform::HasCurrentPlatform()) return;
        backend_.emplace();
        quellmoor::platform::SetCurrentPlatform(&*backend_);
    }
    ~HeadlessScope() {
        if (backend_) quellmoor::platform::SetCurrentPlatform(nullptr);
    }
    HeadlessScope(const HeadlessScope&) = delete;
    HeadlessScope& operator=(const HeadlessScope&) = delete;

private:
    std::optional<quellmoor::platform::HeadlessPlatform> backend_;
};

}  // namespace

std::optional<std::string> EngineRefusal(const std::string& bytes) {
    quellmoor::RegisterAnimationClasses();
    const HeadlessScope platform;
    std::istringstream in(bytes);
    try {
        CheckingStage stage;
        // The program's own load: it reports rather than throws, as the stage does at start.
        stage.AddComponentStream(&in);
        return stage.refusal;
    } catch (const quellmoor::RException& e) {
        return e.GetMessage();
    } catch (const std::exception& e) {
        return std::string(e.what());
    }
}

int RunDump(const std::string& bytes, std::ostream& out, std::ostream& err) {
    std::ostringstream text;
    std::optional<std::string> unreadable;
    int objects = 0;
    try {
        std::istringstream in(bytes);
        objects = DumpStream(in, text);
    } catch (const quellmoor::RException& e) {
        unreadable = e.GetMessage();
    }
    out << text.str();
    // The engine's word comes first: it is what the program will show.
    if (const auto refusal = EngineRefusal(bytes)) {
        out.flush();
        err << *refusal << "\n";
        return 1;
    }
    if (unreadable) {
        out.flush();
        err << *unreadable << "\n";
        return 1;
    }
    out << objects << " object(s)\n";
    return 0;
}

}  // namespace rcs
