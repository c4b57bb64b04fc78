#include "model/Component.h"

#include <gtest/gtest.h>

#include "model/StreamReaders.h"
#include "model/Text.h"
#include "tests/model/StreamBuilder.h"

namespace quellmoor {
namespace {

using testing::Pair;
using testing::Token;

// A component with one coordinate property, enough to exercise body loading.
class Probe : public RComponent {
public:
    using RComponent::RComponent;
    bool LoadPropFromStream(const std::string& name, std::istream& in, int& counter) override {
        if (RComponent::LoadPropFromStream(name, in, counter)) return true;
        if (!EqualsIgnoreCase(name, "XPos")) return false;
        x = LoadCooFromStream(in, counter);
        return true;
    }
    float x = 0;
};

bool Load(RComponent& c, const std::string& bytes, std::istream** keep = nullptr) {
    static std::istringstream in;
    in = std::istringstream(bytes);
    if (keep) *keep = &in;
    int counter = 0;
    return c.LoadFromStream(in, counter);
}

TEST(Component, EmptyBodyLoads) {
    Probe p("p", nullptr);
    EXPECT_TRUE(Load(p, "0#"));
}

TEST(Component, LowerCaseTagFillsTagListAndAppendsOnReload) {
    Probe p("p", nullptr);
    EXPECT_TRUE(Load(p, Token(Pair("tag", Token("Sterretje=True\nSpeed=20\n")) + Pair("XPos", "12"))));
    EXPECT_TRUE(Load(p, Token(Pair("Tag", Token("Speed=30")))));
    EXPECT_EQ(p.GetTag(), (std::vector<std::string>{"Sterretje=True", "Speed=20", "Speed=30"}));
    EXPECT_EQ(p.GetTagValue("speed", "0"), "20");
    EXPECT_EQ(p.GetTagValue("Frequency", "50"), "50");
    EXPECT_FLOAT_EQ(p.x, 12.0f);
}

TEST(Component, UnknownPropertiesAreSkipped) {
    Probe p("p", nullptr);
    EXPECT_TRUE(Load(p, Token(Pair("FileName", "$\\Scenes\\Images\\x.bmp") + Pair("XPos", "7"))));
    EXPECT_FLOAT_EQ(p.x, 7.0f);
}

TEST(Component, BodyOneByteLongerThanPairsFails) {
    Probe p("p", nullptr);
    const std::string pairs = Pair("XPos", "7");
    std::istream* in = nullptr;
    EXPECT_FALSE(Load(p, std::to_string(pairs.size() + 1) + "#" + pairs + "Z" + "NEXT", &in));
    // Loading continues at the declared end.
    EXPECT_EQ(in->get(), 'N');
}

TEST(Component, BodyCutShortByEndOfStreamFailsWithoutLooping) {
    Probe p("p", nullptr);
    EXPECT_FALSE(Load(p, "50#" + Pair("XPos", "7")));
    EXPECT_FALSE(Load(p, "50#4#XPo"));
    EXPECT_FALSE(Load(p, "50#"));
}

TEST(Component, BodyShorterThanItsPairsResumesAtDeclaredEnd) {
    Probe p("p", nullptr);
    std::istream* in = nullptr;
    // Declared 3 bytes, but the first pair is longer: reading resumes after 3 bytes.
    EXPECT_FALSE(Load(p, "3#4#Name5#Value", &in));
    EXPECT_EQ(in->get(), 'a');
}

TEST(Component, NegativeBodyLengthIsRejected) {
    Probe p("p", nullptr);
    EXPECT_THROW(Load(p, "-5#abc"), RStreamException);
}

TEST(Component, PropertyReaderExceptionsPropagate) {
    Probe p("p", nullptr);
    try {
        Load(p, Token(Pair("XPos", "1x")));
        FAIL();
    } catch (const RStreamException& e) {
        EXPECT_EQ(e.GetMessage(), "Invalid char encountered in function LoadCooFromStream.");
    }
}

// Counts destructions and optionally has its owner destroy a sibling while
// dying, as embedded timers do when they leave their lists.
struct Counted : RComponent {
    Counted(std::string n, RComponent* owner, int& deathCount)
        : RComponent(std::move(n), owner), deaths(deathCount), family(owner) {}
    ~Counted() override {
        ++deaths;
        if (sibling) family->ReleaseOwned(sibling).reset();
    }
    int& deaths;
    RComponent* family;
    RComponent* sibling = nullptr;
};

TEST(Component, OwnerDeletesOwnedComponents) {
    int deaths = 0;
    auto owner = std::make_unique<RComponent>("owner", nullptr);
    auto* a = MakeOwned<Counted>("a", owner.get(), deaths);
    MakeOwned<Counted>("b", owner.get(), deaths);
    EXPECT_EQ(owner->GetOwnedComponents().size(), 2u);
    owner->ReleaseOwned(a).reset();  // the owner no longer holds it
    EXPECT_EQ(owner->GetOwnedComponents().size(), 1u);
    owner.reset();
    EXPECT_EQ(deaths, 2);
}

TEST(Component, ChildDeletingASiblingDuringDestructionIsSafe) {
    int deaths = 0;
    auto owner = std::make_unique<RComponent>("owner", nullptr);
    auto* first = MakeOwned<Counted>("first", owner.get(), deaths);
    first->sibling = MakeOwned<Counted>("second", owner.get(), deaths);
    MakeOwned<Counted>("third", owner.get(), deaths);
    owner.reset();
    EXPECT_EQ(deaths, 3);
}

TEST(Component, MakeOwnedRequiresAnOwner) {
    int deaths = 0;
    EXPECT_THROW(MakeOwned<Counted>("lonely", nullptr, deaths), RException);
    EXPECT_EQ(deaths, 1);
}

}  // namespace
}  // namespace quellmoor
