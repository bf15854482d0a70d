#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassMacros.h>

namespace Lumo::Devices {

/// Components a vertex may carry, as bits of a layout. In the vertex they follow this
/// order: position (3 floats), normal (3), colour (4, rgba), texture coordinate (2).
enum EVertexComponent : unsigned {
    eVertexPosition = 0x1,
    eVertexNormal = 0x10,
    eVertexColor = 0x100,
    eVertexTexCoord = 0x10000,
};

/// The layout of one vertex of float components. Formats are shared per layout through a
/// device's format cache; a format never changes after it is made.
class VertexFormat : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    static constexpr unsigned kAllComponents = eVertexPosition | eVertexNormal | eVertexColor | eVertexTexCoord;

    /// Position is always present; unknown bits are dropped.
    static VertexFormat* Make(unsigned components);
    /// The layout a request for these bits gets (what Make keeps of them).
    static unsigned Normalize(unsigned components) { return (components & kAllComponents) | eVertexPosition; }

    unsigned Components() const { return m_components; }
    bool Has(EVertexComponent c) const { return (m_components & c) != 0; }
    /// Floats per vertex.
    int Stride() const { return m_stride; }
    int StrideBytes() const { return m_stride * static_cast<int>(sizeof(float)); }
    /// Where a component starts in the vertex, in floats; -1 when absent.
    int Offset(EVertexComponent c) const;
    /// Floats a component takes (0 for an unknown one).
    static int Size(EVertexComponent c);

protected:
    explicit VertexFormat(unsigned components);

private:
    unsigned m_components;
    int m_stride;
};

} // namespace Lumo::Devices
