// RComponent: the named, loadable, owning object every engine class builds on.
//
// A component fills itself from a property list (a body of the component
// stream), owns the components created with it as owner and deletes them with
// itself, carries a free list of setting lines (Tag) and owns named events.
//
// Ownership: an owner holds its children as std::unique_ptr. Create an owned
// component with MakeOwned<T>(..., owner, ...), which hands it to the owner and
// returns an observing pointer; a component not made that way belongs to
// whoever made it. Lifetimes: a dying component leaves no pointer to itself.
// It leaves the lists that name it (registries here, the stage's timers), and
// every other reference to it is an RHandle that answers null from then on.
#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "model/Event.h"
#include "model/Exceptions.h"
#include "model/Lifetime.h"

namespace quellmoor {

class RComponentManager;

class RComponent : public RObject {
public:
    RComponent(std::string name, RComponent* owner);
    ~RComponent() override;
    RComponent(const RComponent&) = delete;
    RComponent& operator=(const RComponent&) = delete;

    // Reads the value of a known property, sets `counter` to the bytes taken
    // and returns true; returns false without reading for unknown names.
    virtual bool LoadPropFromStream(const std::string& name, std::istream& in, int& counter);
    virtual void SavePropToStream(const std::string& name, std::ostream& out) const;
    // Reads a whole body token. Returns true when its pairs used exactly the
    // declared length. The stream is left at the body's declared end.
    virtual bool LoadFromStream(std::istream& in, int& counter);
    virtual void SaveToStream(std::ostream& out) const;
    virtual std::string GetClassName() const { return "RComponent"; }
    // Receives events routed here by ConnectEvent.
    virtual void HandleEvent(const std::string& eventName, RComponent* sender, REvent* event);

    const std::string& GetName() const { return name_; }
    std::string GetTagValue(std::string_view key, std::string_view fallback) const;
    const std::vector<std::string>& GetTag() const { return tag_; }
    void SetTag(std::vector<std::string> lines) { tag_ = std::move(lines); }

    // Binds a handler; a null data pointer stands for the current stage.
    void AddEventHandler(std::string_view eventName, EventHandler handler, RObject* data);
    REvent* FindEvent(std::string_view eventName) const;
    // Fires the named event with this component as sender; unbound names do nothing.
    void FireEvent(std::string_view eventName, std::int32_t argument = 0);
    // Routes the named event to target->HandleEvent.
    void ConnectEvent(std::string_view eventName, RComponent* target);

    RComponent* GetOwner() const { return owner_; }
    const std::vector<std::unique_ptr<RComponent>>& GetOwnedComponents() const { return owned_; }
    // Takes `child`, which was made with this component as its owner, into the owned list.
    RComponent* Adopt(std::unique_ptr<RComponent> child);
    // Hands an owned component to the caller (its owner link cleared); null when it is not owned here.
    std::unique_ptr<RComponent> ReleaseOwned(RComponent* child);

    // How many components exist in the process: a test of loading and removing
    // scenes compares it before and after.
    static std::size_t LiveCount();

    // Removes this component from every registry that lists it.
    void LeaveRegistries();
    std::weak_ptr<const void> Watch() const { return lifetime_.Watch(); }

protected:
    void SetName(std::string name) { name_ = std::move(name); }
    // Destroys the owned components one at a time, in list order.
    void DestroyOwnedComponents();
    // Told when an owned component is handed away (ReleaseOwned), so a class
    // that keeps its own lists of children forgets it. Not called while this
    // component dies.
    virtual void OwnedReleased(RComponent*) {}

private:
    friend class RComponentManager;  // keeps registries_ in step with its registry

    std::string name_;
    std::vector<std::unique_ptr<REvent>> events_;
    std::vector<std::unique_ptr<RComponent>> owned_;
    RComponent* owner_;
    std::vector<std::string> tag_;
    std::vector<RComponentManager*> registries_;  // one entry per registration
    RLifetime lifetime_;
};

// Creates a component and hands it to its owner (one of `args`); returns an
// observing pointer, valid as long as the owner keeps the component.
template <class T, class... Args>
T* MakeOwned(Args&&... args) {
    auto made = std::make_unique<T>(std::forward<Args>(args)...);
    RComponent* owner = made->GetOwner();
    if (owner == nullptr) throw RException("MakeOwned: component " + made->GetName() + " has no owner.");
    T* observed = made.get();
    owner->Adopt(std::move(made));
    return observed;
}

}  // namespace quellmoor
