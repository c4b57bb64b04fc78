// The engine's exception family.
//
// Every failure the engine reports is one of these, thrown by value and caught
// by reference. The message is what the user reads, so callers pass it on
// unchanged. The subclasses add nothing; they only let a handler catch a
// narrower family (streams, parameters, lookups, sprites).
#pragma once

#include <exception>
#include <string>

namespace quellmoor {

// Root of every engine class that needs run-time type checks.
class RObject {
public:
    virtual ~RObject() = default;
};

class RException : public RObject, public std::exception {
public:
    explicit RException(std::string message) : message_(std::move(message)) {}
    const std::string& GetMessage() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

class RStreamException : public RException {
public:
    using RException::RException;
};

class RParamException : public RException {
public:
    using RException::RException;
};

class RFindException : public RException {
public:
    using RException::RException;
};

class RSpriteException : public RException {
public:
    using RException::RException;
};

}  // namespace quellmoor
