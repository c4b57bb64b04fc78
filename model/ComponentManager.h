// RComponentManager: a registry of components and the loader of whole streams.
//
// AddComponentStream reads "RCS", a header of Key=Value lines and then object
// triples (class, name, body). An object whose name is already registered is
// reloaded in place; otherwise the class factory creates it, owned by this
// manager. The registry itself owns nothing; a registered component that dies
// leaves it, and a dying manager lets go of its entries. Lookups by name ignore case.
//
//   RComponentManager scene("scene", nullptr);
//   scene.AddComponentStream(&file);
//   auto& sky = scene.FindComponentAs<RPicture>("Sky");
#pragma once

#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "model/Component.h"

namespace quellmoor {

class RComponentManager : public RComponent {
public:
    RComponentManager(std::string name, RComponent* owner);
    ~RComponentManager() override;

    std::string GetClassName() const override { return "RComponentManager"; }

    // Loads a whole stream; a null stream does nothing. Throws RStreamException.
    virtual void AddComponentStream(std::istream* in);
    void LoadComponent(std::istream& in, int& counter);
    RComponent* CreateComponent(std::string_view className, const std::string& objectName);

    RComponent* FindComponent(std::string_view name) const;
    // Finds a component of class T (or derived); throws "component <name> not found.".
    template <class T>
    T& FindComponentAs(std::string_view name) const {
        if (auto* found = dynamic_cast<T*>(FindComponent(name))) return *found;
        throw RException("component " + std::string(name) + " not found.");
    }

    std::string GetHeaderValue(std::string_view key, std::string_view fallback) const;
    const std::vector<std::string>& GetHeader() const { return header_; }

    void AddComponentsTo(RComponentManager& other) const;
    void RemoveComponentsFrom(RComponentManager& other) const;

    // Appends, also when the component is already listed.
    void RegisterComponent(RComponent* component);
    // Removes the first entry of `component`, if any.
    void UnregisterComponent(RComponent* component);
    const std::vector<RComponent*>& GetComponents() const { return registry_; }

protected:
    std::vector<RComponent*>& ComponentList() { return registry_; }

private:
    std::vector<RComponent*> registry_;
    std::vector<std::string> header_;
};

}  // namespace quellmoor
