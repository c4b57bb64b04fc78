// Lifetime tokens and handles: references that notice when their object dies.
//
// An object that others refer to without owning it carries an RLifetime; an
// RHandle<T> taken from it answers null once the object is gone, so a scene
// that unloads cannot leave a dangling actor, balloon partner or handler
// behind. A handle costs one shared control block per watched object.
//
//   RHandle<RPixie> actor(&sprite);
//   if (RPixie* p = actor.Get()) p->MoveTo(10, 20);
#pragma once

#include <memory>

namespace quellmoor {

class RLifetime {
public:
    RLifetime() = default;
    // A copy is another object with a life of its own.
    RLifetime(const RLifetime&) : RLifetime() {}
    RLifetime& operator=(const RLifetime&) { return *this; }

    std::weak_ptr<const void> Watch() const { return token_; }

private:
    std::shared_ptr<const void> token_ = std::make_shared<char>('\0');
};

template <class T>
class RHandle {
public:
    RHandle() = default;
    // T must offer Watch() (components and events do).
    RHandle(T* object) : object_(object) {  // NOLINT: implicit, like a pointer
        if (object) watch_ = object->Watch();
    }

    T* Get() const { return watch_.expired() ? nullptr : object_; }
    T* operator->() const { return Get(); }
    explicit operator bool() const { return Get() != nullptr; }
    // True for a handle that was never given an object (as opposed to one whose object died).
    bool IsEmpty() const { return object_ == nullptr; }

private:
    T* object_ = nullptr;
    std::weak_ptr<const void> watch_;
};

}  // namespace quellmoor
