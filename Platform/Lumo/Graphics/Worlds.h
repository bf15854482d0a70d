#pragma once
#include <Lumo/Graphics/AWorld.h>

namespace Lumo::Graphics {

/// The four world kinds: one implementation, four names.
class SingleNodeWorld : public AWorld {
    LUMO_DECLARE_CLASS()
public:
    EWorldType WorldType() const override { return eSingleNodeWorld; }
};

class ARenderList : public AWorld {
    LUMO_DECLARE_CLASS()
public:
    EWorldType WorldType() const override { return eRenderListWorld; }
};

class BSPWorld : public AWorld {
    LUMO_DECLARE_CLASS()
public:
    EWorldType WorldType() const override { return eBSPWorld; }
};

class LODConsolidatedWorld : public AWorld {
    LUMO_DECLARE_CLASS()
public:
    EWorldType WorldType() const override { return eLODConsolidatedWorld; }
};

} // namespace Lumo::Graphics
