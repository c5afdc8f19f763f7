#pragma once
#include <string>

// Anything in a model file that carries a name: meshes, materials, lights.
class LObject {
public:
    LObject() = default;
    virtual ~LObject() = default;
    // Declared so that meshes move, not copy, when the reader's lists grow.
    LObject(const LObject&) = default;
    LObject(LObject&&) noexcept = default;
    LObject& operator=(const LObject&) = default;
    LObject& operator=(LObject&&) noexcept = default;
    virtual const std::string& Name() const { return name_; }
    virtual void Rename(const std::string& name) { name_ = name; }

private:
    std::string name_;
};
