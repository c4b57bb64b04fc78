#include "model/ComponentManager.h"

#include <gtest/gtest.h>

#include <chrono>

#include "model/ClassFactory.h"
#include "tests/model/StreamBuilder.h"

namespace quellmoor {
namespace {

using testing::Object;
using testing::Pair;
using testing::Stream;
using testing::Token;

class Thing : public RComponent {
public:
    using RComponent::RComponent;
    std::string GetClassName() const override { return "RThing"; }
};

RComponent* MakeThing(const std::string& name, RComponent* owner) { return MakeOwned<Thing>(name, owner); }

class Manager : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterComponentClass("RThing", &MakeThing); }

    void Load(const std::string& bytes) {
        std::istringstream in(bytes);
        manager.AddComponentStream(&in);
    }
    std::string LoadError(const std::string& bytes) {
        try {
            Load(bytes);
        } catch (const RStreamException& e) {
            return e.GetMessage();
        }
        return "no exception";
    }
    RComponentManager manager{"manager", nullptr};
};

TEST_F(Manager, HeaderOnlyStreamRegistersNothing) {
    Load(Stream("Notice=ours\nVersion=0.1b\n", ""));
    EXPECT_TRUE(manager.GetComponents().empty());
    EXPECT_EQ(manager.GetHeaderValue("version", "?"), "0.1b");
    EXPECT_EQ(manager.GetHeaderValue("Type", "none"), "none");
}

TEST_F(Manager, InvalidMagicIsReportedAfterThreeBytes) {
    std::istringstream in("RCX3#a=1");
    try {
        manager.AddComponentStream(&in);
        FAIL();
    } catch (const RStreamException& e) {
        EXPECT_EQ(e.GetMessage(), "AddComponentStream encountered an invalid header.");
    }
    EXPECT_EQ(in.tellg(), 3);
    EXPECT_EQ(LoadError("RC"), "AddComponentStream encountered an invalid header.");
    EXPECT_TRUE(manager.GetComponents().empty());
}

TEST_F(Manager, NullStreamDoesNothing) {
    manager.AddComponentStream(nullptr);
    EXPECT_TRUE(manager.GetHeader().empty());
}

TEST_F(Manager, CreatesByClassNameIgnoringCaseAndSkipsUnknownClasses) {
    Load(Stream("", Object("rthing", "First", Pair("Tag", Token("k=1"))) +
                        Object("RStage", "Stage", Pair("Caption", "Hello")) +
                        Object("RThing", "Second", "")));
    ASSERT_EQ(manager.GetComponents().size(), 2u);
    EXPECT_EQ(manager.GetComponents()[0]->GetClassName(), "RThing");
    EXPECT_EQ(manager.FindComponent("first")->GetTagValue("K", ""), "1");
    EXPECT_NE(manager.FindComponent("SECOND"), nullptr);
    EXPECT_EQ(manager.FindComponent("Stage"), nullptr);
    // Created components are owned by the manager.
    EXPECT_EQ(manager.GetOwnedComponents().size(), 2u);
}

TEST_F(Manager, ExistingNameReloadsIntoFirstRegisteredComponent) {
    Load(Stream("", Object("RThing", "Dup", Pair("Tag", Token("a=1")))));
    Load(Stream("", Object("RSomethingElse", "dup", Pair("Tag", Token("b=2")))));
    ASSERT_EQ(manager.GetComponents().size(), 1u);
    EXPECT_EQ(manager.GetComponents()[0]->GetTag(), (std::vector<std::string>{"a=1", "b=2"}));
}

TEST_F(Manager, FindComponentReturnsFirstOfEqualNames) {
    Thing one("Same", nullptr), two("same", nullptr);
    manager.RegisterComponent(&one);
    manager.RegisterComponent(&two);
    EXPECT_EQ(manager.FindComponent("SAME"), &one);
    EXPECT_EQ(&manager.FindComponentAs<Thing>("same"), &one);
    try {
        manager.FindComponentAs<RComponentManager>("Same");
        FAIL();
    } catch (const RException& e) {
        EXPECT_EQ(e.GetMessage(), "component Same not found.");
    }
    EXPECT_THROW(manager.FindComponentAs<Thing>("missing"), RException);
}

TEST_F(Manager, MovingComponentsBetweenRegistries) {
    Thing a("a", nullptr), b("b", nullptr);
    RComponentManager scene("scene", nullptr);
    scene.RegisterComponent(&a);
    scene.RegisterComponent(&b);
    manager.RegisterComponent(&a);
    scene.AddComponentsTo(manager);
    EXPECT_EQ(manager.GetComponents(), (std::vector<RComponent*>{&a, &a, &b}));
    scene.RemoveComponentsFrom(manager);
    EXPECT_EQ(manager.GetComponents(), (std::vector<RComponent*>{&a}));
}

TEST_F(Manager, ADyingComponentLeavesEveryRegistry) {
    RComponentManager scene("scene", nullptr);
    auto thing = std::make_unique<Thing>("Thing", nullptr);
    Thing other("Other", nullptr);
    scene.RegisterComponent(thing.get());
    scene.RegisterComponent(&other);
    scene.AddComponentsTo(manager);
    manager.RegisterComponent(thing.get());  // listed twice there
    thing.reset();
    EXPECT_EQ(scene.GetComponents(), (std::vector<RComponent*>{&other}));
    EXPECT_EQ(manager.GetComponents(), (std::vector<RComponent*>{&other}));
    EXPECT_EQ(manager.FindComponent("Thing"), nullptr);
}

TEST_F(Manager, DestroyingALibraryTakesItsComponentsOutOfTheStageRegistry) {
    RComponentManager stage("Stage", nullptr);
    stage.RegisterComponent(&stage);
    const std::size_t liveBefore = RComponent::LiveCount();
    {
        RComponentManager library("scene", &stage);
        std::istringstream in(Stream("", Object("RThing", "Rock", "") + Object("RThing", "Tree", "")));
        library.AddComponentStream(&in);
        library.AddComponentsTo(stage);
        ASSERT_EQ(stage.GetComponents().size(), 3u);
        EXPECT_EQ(stage.FindComponent("tree"), library.FindComponent("Tree"));
    }
    EXPECT_EQ(stage.GetComponents(), (std::vector<RComponent*>{&stage}));
    EXPECT_EQ(RComponent::LiveCount(), liveBefore);
}

TEST_F(Manager, ARegistryThatDiesFirstLetsItsEntriesGo) {
    Thing survivor("Survivor", nullptr);
    {
        RComponentManager scene("scene", nullptr);
        scene.RegisterComponent(&survivor);
        scene.RegisterComponent(&scene);  // the stage lists itself the same way
    }
    manager.RegisterComponent(&survivor);
    EXPECT_EQ(manager.GetComponents(), (std::vector<RComponent*>{&survivor}));
}  // the survivor dies last and must not reach the dead registry

TEST_F(Manager, MalformedStreamsFailWithTheReaderMessage) {
    struct Case { std::string bytes; std::string message; };
    const std::vector<Case> cases{
        {"RCS5#ab", "LoadStringFromStream reached unexpected end of stream."},
        {Stream("", Token("RUnknown") + Token("x") + "-5#abc"), "LoadComponent encountered a negative body length."},
        {Stream("", Token("RUnknown") + Token("x") + "12345678901#"), "LoadLongIntFromStream read a number that is too large."},
        {Stream("", Token("RUnknown") + Token("x") + "50#abc"), "Component stream ends inside a skipped body."},
        {Stream("", Token("RThing") + Token("x") + "1-2#ab"), "LoadFromStream encountered a negative body length."},
        {Stream("", Token("RUnknown") + Token("x") + "5x#"), "Invalid char encountered in function LoadLongIntFromStream."},
        {"RCS99999999999#", "LoadStringFromStream encountered an invalid length field."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        RComponentManager fresh("fresh", nullptr);
        std::istringstream in(c.bytes);
        try {
            fresh.AddComponentStream(&in);
            ADD_FAILURE() << "no exception";
        } catch (const RStreamException& e) {
            EXPECT_EQ(e.GetMessage(), c.message);
        }
    }
}

TEST_F(Manager, TrailingPartialTripleIsIgnored) {
    Load(Stream("", Object("RThing", "a", "") + "6#RThing"));
    EXPECT_EQ(manager.GetComponents().size(), 1u);
}

TEST_F(Manager, BodyLongerThanItsPairsFailsQuietlyAtEndOfStream) {
    Load(Stream("", Token("RThing") + Token("a") + "40#" + Pair("Tag", Token("k=v"))));
    ASSERT_NE(manager.FindComponent("a"), nullptr);
    EXPECT_EQ(manager.FindComponent("a")->GetTagValue("k", ""), "v");
}

TEST_F(Manager, EveryTruncationOfAValidStreamFailsCleanlyAndQuickly) {
    const std::string full = Stream("Version=1\n", Object("RThing", "a", Pair("Tag", Token("x=1\ny=2"))) +
                                                       Object("RUnknown", "u", Pair("Data", "0123456789")) +
                                                       Object("RThing", "b", Pair("Other", "v")));
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t cut = 0; cut < full.size(); ++cut) {
        RComponentManager fresh("fresh", nullptr);
        std::istringstream in(full.substr(0, cut));
        try {
            fresh.AddComponentStream(&in);
        } catch (const RStreamException&) {
        }
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

}  // namespace
}  // namespace quellmoor
