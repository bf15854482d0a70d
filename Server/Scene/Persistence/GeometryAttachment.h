#pragma once

namespace Brio::Scene {

/// Something derived from a geometry's data (a cached render form, say), owned by the geometry
/// and thrown away whenever the data change. Kinds derive their own.
class GeometryAttachment {
public:
    virtual ~GeometryAttachment();
};

} // namespace Brio::Scene
