#include "model/ComponentManager.h"

#include <algorithm>
#include <utility>

#include "model/ClassFactory.h"
#include "model/StreamReaders.h"
#include "model/Text.h"

namespace quellmoor {

namespace {

std::vector<std::pair<std::string, ComponentCreator>>& Factory() {
    static std::vector<std::pair<std::string, ComponentCreator>> table;
    return table;
}

}  // namespace

void RegisterComponentClass(std::string_view className, ComponentCreator create) {
    for (auto& [name, creator] : Factory()) {
        if (EqualsIgnoreCase(name, className)) {
            creator = create;
            return;
        }
    }
    Factory().emplace_back(std::string(className), create);
}

ComponentCreator FindComponentClass(std::string_view className) {
    for (const auto& [name, creator] : Factory())
        if (EqualsIgnoreCase(name, className)) return creator;
    return nullptr;
}

namespace {

// Erases the first occurrence of `value`; false when there is none.
template <class T>
bool EraseFirst(std::vector<T*>& list, const T* value) {
    const auto it = std::find(list.begin(), list.end(), value);
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}

}  // namespace

RComponentManager::RComponentManager(std::string name, RComponent* owner)
    : RComponent(std::move(name), owner) {}

RComponentManager::~RComponentManager() {
    while (!registry_.empty()) UnregisterComponent(registry_.back());
}

void RComponentManager::AddComponentStream(std::istream* in) {
    if (!in) return;
    for (char expected : {'R', 'C', 'S'}) {
        const auto c = in->get();
        if (!*in || c != expected)
            throw RStreamException("AddComponentStream encountered an invalid header.");
    }
    int counter = 0;
    LoadStringListFromStream(header_, *in, counter);
    while (!AtEndOfStream(*in)) LoadComponent(*in, counter);
}

void RComponentManager::LoadComponent(std::istream& in, int& counter) {
    int used = 0;
    const std::string className = LoadStringFromStream(in, used);
    if (AtEndOfStream(in)) return;  // a trailing partial triple is ignored
    counter = used;
    const std::string objectName = LoadStringFromStream(in, used);
    AddToCounter(counter, used);

    RComponent* target = FindComponent(objectName);
    if (!target) {
        target = CreateComponent(className, objectName);
        if (target) RegisterComponent(target);
    }
    if (target) {
        target->LoadFromStream(in, used);
        AddToCounter(counter, used);
        return;
    }
    const std::int32_t length = LoadLongIntFromStream(in, used);
    if (length < 0) throw RStreamException("LoadComponent encountered a negative body length.");
    SkipBytes(in, length);
    AddToCounter(counter, static_cast<std::int64_t>(used) + length);
}

RComponent* RComponentManager::CreateComponent(std::string_view className, const std::string& objectName) {
    const ComponentCreator create = FindComponentClass(className);
    return create ? create(objectName, this) : nullptr;
}

RComponent* RComponentManager::FindComponent(std::string_view name) const {
    for (RComponent* component : registry_)
        if (EqualsIgnoreCase(component->GetName(), name)) return component;
    return nullptr;
}

std::string RComponentManager::GetHeaderValue(std::string_view key, std::string_view fallback) const {
    return GetValue(header_, key, fallback);
}

void RComponentManager::AddComponentsTo(RComponentManager& other) const {
    // By index: registering this manager's own list with itself grows it.
    for (std::size_t i = 0, n = registry_.size(); i < n; ++i) other.RegisterComponent(registry_[i]);
}

void RComponentManager::RemoveComponentsFrom(RComponentManager& other) const {
    // A copy: removing this manager's entries from itself shrinks the list.
    const std::vector<RComponent*> entries = registry_;
    for (RComponent* component : entries) other.UnregisterComponent(component);
}

void RComponentManager::RegisterComponent(RComponent* component) {
    if (!component) return;
    registry_.push_back(component);
    try {
        component->registries_.push_back(this);
    } catch (...) {
        registry_.pop_back();
        throw;
    }
}

void RComponentManager::UnregisterComponent(RComponent* component) {
    if (EraseFirst(registry_, component)) EraseFirst(component->registries_, this);
}

}  // namespace quellmoor
