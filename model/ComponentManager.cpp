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

RComponentManager::RComponentManager(std::string name, RComponent* owner)
    : RComponent(std::move(name), owner) {}

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
    for (RComponent* component : registry_) other.registry_.push_back(component);
}

void RComponentManager::RemoveComponentsFrom(RComponentManager& other) const {
    for (RComponent* component : registry_) other.UnregisterComponent(component);
}

void RComponentManager::UnregisterComponent(RComponent* component) {
    const auto it = std::find(registry_.begin(), registry_.end(), component);
    if (it != registry_.end()) registry_.erase(it);
}

}  // namespace quellmoor
