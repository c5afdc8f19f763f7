#pragma once
#include <string>

// Anything in a model file that carries a name: meshes, materials, lights.
class LObject {
public:
    virtual ~LObject() = default;
    virtual const std::string& Name() const { return name_; }
    virtual void Rename(const std::string& name) { name_ = name; }

private:
    std::string name_;
};
