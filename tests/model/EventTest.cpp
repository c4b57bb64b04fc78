#include <gtest/gtest.h>

#include <memory>

#include "model/Behaviour.h"
#include "model/ComponentManager.h"
#include "model/CurrentStage.h"
#include "model/EventLinks.h"

namespace quellmoor {
namespace {

std::vector<std::string> calls;

struct Name : RObject {
    explicit Name(std::string n) : text(std::move(n)) {}
    std::string text;
};

void Record(RComponent*, REvent* event, RObject* data) {
    calls.push_back(static_cast<Name*>(data)->text + ":" + event->GetName());
}

void FireAgain(RComponent* sender, REvent* event, RObject*) {
    calls.push_back("again");
    sender->FireEvent(event->GetName());
}

void Throw(RComponent*, REvent*, RObject*) { throw RException("boom"); }

class Events : public ::testing::Test {
protected:
    void SetUp() override { calls.clear(); }
    RComponent source{"source", nullptr};
    Name a{"A"}, b{"B"};
};

TEST_F(Events, UnboundEventDoesNothing) {
    source.FireEvent("OnTimer");
    EXPECT_EQ(source.FindEvent("OnTimer"), nullptr);
    EXPECT_TRUE(calls.empty());
}

TEST_F(Events, NewestHandlerRunsFirstAndNamesIgnoreCase) {
    source.AddEventHandler("ontimer", &Record, &a);
    source.AddEventHandler("OnTimer", &Record, &b);
    source.FireEvent("ONTIMER", 7);
    EXPECT_EQ(calls, (std::vector<std::string>{"B:ontimer", "A:ontimer"}));
    EXPECT_EQ(source.FindEvent("OnTimer")->GetArgument(), 7);
}

TEST_F(Events, NestedFiringIsDropped) {
    source.AddEventHandler("OnMove", &FireAgain, &a);
    source.FireEvent("OnMove");
    EXPECT_EQ(calls, (std::vector<std::string>{"again"}));
}

TEST_F(Events, ThrowingHandlerDoesNotLeaveEventBusy) {
    source.AddEventHandler("OnMove", &Throw, &a);
    EXPECT_THROW(source.FireEvent("OnMove"), RException);
    EXPECT_FALSE(source.FindEvent("OnMove")->IsBusy());
    EXPECT_THROW(source.FireEvent("OnMove"), RException);
}

TEST_F(Events, ConnectEventRoutesToHandleEvent) {
    struct Target : RComponent {
        using RComponent::RComponent;
        void HandleEvent(const std::string& name, RComponent* sender, REvent*) override {
            calls.push_back(name + " from " + sender->GetName());
        }
    } target("target", nullptr);
    source.ConnectEvent("OnReachEnd", &target);
    source.FireEvent("OnReachEnd");
    EXPECT_EQ(calls, (std::vector<std::string>{"OnReachEnd from source"}));
}

struct Listener : RBehaviour {
    using RBehaviour::RBehaviour;
    bool OnEvent(const std::string& name, RComponent* sender) override {
        calls.push_back("behaviour " + name + " from " + sender->GetName());
        return true;
    }
};

TEST_F(Events, BehaviourReceivesListenedEvents) {
    Listener listener(nullptr, "listener", &source);
    listener.Listen("OnKeyUp");
    source.FireEvent("onkeyup");
    EXPECT_EQ(calls, (std::vector<std::string>{"behaviour OnKeyUp from source"}));
}

TEST_F(Events, SetValuesOnlyOnce) {
    Listener fresh(nullptr, "", nullptr);
    fresh.SetValues(&source, "named");
    EXPECT_EQ(fresh.GetName(), "named");
    try {
        fresh.SetValues(&source, "again");
        FAIL();
    } catch (const RException& e) {
        EXPECT_EQ(e.GetMessage(), "Behaviour::SetValues: values already set.");
    }
    Listener withTarget(nullptr, "x", &source);
    EXPECT_THROW(withTarget.SetValues(&source, ""), RException);
}

TEST_F(Events, ListenWithoutTargetIsAnError) {
    Listener orphan(nullptr, "", nullptr);
    EXPECT_THROW(orphan.Listen("OnTimer"), RException);
}

void RecordComponent(RComponent*, REvent* event, RObject* data) {
    calls.push_back(static_cast<RComponent*>(data)->GetName() + ":" + event->GetName());
}

TEST_F(Events, HandlersOfADeadComponentAreSkippedAndDropped) {
    auto listener = std::make_unique<RComponent>("Listener", nullptr);
    RComponent keeper("Keeper", nullptr);
    source.AddEventHandler("OnMove", &RecordComponent, listener.get());
    source.AddEventHandler("OnMove", &RecordComponent, &keeper);
    source.AddEventHandler("OnMove", &Record, &a);  // plain data is not watched
    listener.reset();
    source.FireEvent("OnMove");
    EXPECT_EQ(calls, (std::vector<std::string>{"A:OnMove", "Keeper:OnMove"}));
    EXPECT_EQ(source.FindEvent("OnMove")->HandlerCount(), 2u);
}

struct Doomed : RObject {
    std::unique_ptr<RComponent> component;
};
void DestroySender(RComponent*, REvent*, RObject* data) {
    calls.push_back("destroy");
    static_cast<Doomed*>(data)->component.reset();
}

TEST_F(Events, AHandlerMayDestroyTheComponentThatFired) {
    Doomed doomed;
    doomed.component = std::make_unique<RComponent>("Scene", nullptr);
    doomed.component->AddEventHandler("OnReachEnd", &Record, &a);  // older: would run after
    doomed.component->AddEventHandler("OnReachEnd", &DestroySender, &doomed);
    doomed.component->FireEvent("OnReachEnd");
    EXPECT_EQ(calls, (std::vector<std::string>{"destroy"}));
    EXPECT_EQ(doomed.component, nullptr);
}

TEST_F(Events, ABehaviourWhoseTargetDiedHasNoTarget) {
    auto target = std::make_unique<RComponent>("Ship", nullptr);
    Listener listener(nullptr, "", target.get());
    listener.Listen("OnMove");
    target.reset();
    EXPECT_EQ(listener.GetTarget(), nullptr);
    EXPECT_THROW(listener.SetValues(nullptr, "again"), RException);  // it was set once
}

class Links : public Events {
protected:
    void SetUp() override {
        Events::SetUp();
        ClearPendingEventLinks();
        SetCurrentStage(&stage);
        stage.RegisterComponent(&stage);
    }
    void TearDown() override {
        SetCurrentStage(nullptr);
        ClearPendingEventLinks();
    }
    struct Stage : RComponentManager {
        using RComponentManager::RComponentManager;
    } stage{"Stage", nullptr};
};

void RecordStage(RComponent*, REvent* event, RObject* data) {
    calls.push_back(dynamic_cast<RComponent*>(data)->GetName() + ":" + event->GetName());
}

TEST_F(Links, BindsInOrderAndKeepsMissingSourcesPending) {
    DeclareEventLink({"Stage", "OnKeyUp", &RecordStage, ""});
    DeclareEventLink({"Ship", "OnMove", &RecordStage, ""});
    DeclareEventLink({"stage", "OnKeyDown", &RecordStage, ""});
    EXPECT_EQ(BindPendingEventLinks(stage), 2);
    ASSERT_EQ(PendingEventLinks().size(), 1u);
    EXPECT_EQ(PendingEventLinks()[0].sourceName, "Ship");

    stage.FireEvent("OnKeyUp");
    EXPECT_EQ(calls, (std::vector<std::string>{"Stage:OnKeyUp"}));

    RComponent ship("Ship", nullptr);
    stage.RegisterComponent(&ship);
    EXPECT_EQ(BindPendingEventLinks(stage), 1);
    EXPECT_TRUE(PendingEventLinks().empty());
    ship.FireEvent("OnMove");
    EXPECT_EQ(calls.back(), "Stage:OnMove");
}

TEST_F(Links, NamedTargetNotYetRegisteredStaysPending) {
    RComponent ship("Ship", nullptr);
    stage.RegisterComponent(&ship);
    DeclareEventLink({"Ship", "OnMove", &RecordStage, "Sidekick"});
    EXPECT_EQ(BindPendingEventLinks(stage), 0);
    EXPECT_EQ(ship.FindEvent("OnMove"), nullptr);
    EXPECT_EQ(PendingEventLinks().size(), 1u);

    RComponent sidekick("Sidekick", nullptr);
    stage.RegisterComponent(&sidekick);
    EXPECT_EQ(BindPendingEventLinks(stage), 1);
    ship.FireEvent("OnMove");
    EXPECT_EQ(calls, (std::vector<std::string>{"Sidekick:OnMove"}));
}

}  // namespace
}  // namespace quellmoor
