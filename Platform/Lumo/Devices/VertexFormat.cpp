#include <Lumo/Devices/VertexFormat.h>

namespace Lumo::Devices {

LUMO_DEFINE_CLASS(VertexFormat, Lumo::Objects::ARefCounted)

namespace {
constexpr EVertexComponent kOrder[] = {eVertexPosition, eVertexNormal, eVertexColor, eVertexTexCoord};
}

int VertexFormat::Size(EVertexComponent c) {
    switch (c) {
    case eVertexPosition:
        return 3;
    case eVertexNormal:
        return 3;
    case eVertexColor:
        return 4;
    case eVertexTexCoord:
        return 2;
    }
    return 0;
}

VertexFormat::VertexFormat(unsigned components) : m_components(Normalize(components)), m_stride(0) {
    for (EVertexComponent c : kOrder)
        if (Has(c))
            m_stride += Size(c);
}

VertexFormat* VertexFormat::Make(unsigned components) {
    return new VertexFormat(components);
}

int VertexFormat::Offset(EVertexComponent c) const {
    if (!Has(c))
        return -1;
    int offset = 0;
    for (EVertexComponent k : kOrder) {
        if (k == c)
            return offset;
        if (Has(k))
            offset += Size(k);
    }
    return -1;
}

} // namespace Lumo::Devices
