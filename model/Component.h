// RComponent: the named, loadable, owning object every engine class builds on.
//
// A component fills itself from a property list (a body of the component
// stream), owns the components created with it as owner and deletes them with
// itself, carries a free list of setting lines (Tag) and owns named events.
//
// Ownership: constructing a component with an owner hands it to that owner;
// create such components with MakeOwned<T>(...) and keep plain pointers. A
// component without an owner belongs to whoever made it (a std::unique_ptr).
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

namespace quellmoor {

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

    // Binds a handler; a null data pointer stands for the current stage.
    void AddEventHandler(std::string_view eventName, EventHandler handler, RObject* data);
    REvent* FindEvent(std::string_view eventName) const;
    // Fires the named event with this component as sender; unbound names do nothing.
    void FireEvent(std::string_view eventName, std::int32_t argument = 0);
    // Routes the named event to target->HandleEvent.
    void ConnectEvent(std::string_view eventName, RComponent* target);

    RComponent* GetOwner() const { return owner_; }
    const std::vector<RComponent*>& GetOwnedComponents() const { return owned_; }

protected:
    void SetName(std::string name) { name_ = std::move(name); }

private:
    std::string name_;
    std::vector<std::unique_ptr<REvent>> events_;
    std::vector<RComponent*> owned_;
    RComponent* owner_;
    std::vector<std::string> tag_;
};

// Creates a component that its owner (one of `args`) will delete.
template <class T, class... Args>
T* MakeOwned(Args&&... args) {
    auto made = std::make_unique<T>(std::forward<Args>(args)...);
    if (made->GetOwner() == nullptr)
        throw RException("MakeOwned: component " + made->GetName() + " has no owner.");
    return made.release();
}

}  // namespace quellmoor
