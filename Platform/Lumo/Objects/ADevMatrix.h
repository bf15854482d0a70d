#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassMacros.h>
#include <Lumo/Objects/Mat4.h>

namespace Lumo::Objects {

/// A shared 4x4 matrix as the device sees it: counted, so many nodes and render items
/// can point at one world matrix.
class ADevMatrix : public ARefCounted {
public:
    LUMO_DECLARE_CLASS()

    virtual const mat4<float>& Matrix() const = 0;
    /// True when the matrix is the identity (lets the device skip a multiply).
    virtual bool IsIdentity() const = 0;

protected:
    ADevMatrix() = default;
};

} // namespace Lumo::Objects
