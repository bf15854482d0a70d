#include <Lumo/Graphics/TextLayout.h>

namespace Lumo::Text {

void TextLayout::Clear() {
    m_quads.clear();
    m_atlas.reset();
    m_pixelsPerEm = 0;
}

} // namespace Lumo::Text
