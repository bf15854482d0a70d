#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassMacros.h>

namespace Lumo::Graphics {

/// How a group organises its children for drawing and picking.
enum EWorldType : int {
    eSingleNodeWorld = 0,
    eRenderListWorld = 1,
    eBSPWorld = 2,
    eLODConsolidatedWorld = 3,
};

/// A group's world. Every kind keeps its children in order and walks them in order; the
/// kinds differ in name and in what spatial help later work may give them.
class AWorld : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    /// The world of the given type; an unknown type gives a single-node world.
    static AWorld* Make(EWorldType type);
    virtual EWorldType WorldType() const = 0;

protected:
    AWorld() = default;
};

} // namespace Lumo::Graphics
