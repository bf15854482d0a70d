#pragma once

namespace Lumo::Objects {

class IBaseInterface;

/// Objects that can make a copy of themselves of their own dynamic kind.
class IClone {
public:
    virtual ~IClone() = default;
    virtual IBaseInterface* CloneObject() const = 0;
};

} // namespace Lumo::Objects
