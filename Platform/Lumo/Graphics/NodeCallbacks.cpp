#include <Lumo/Graphics/NodeCallbacks.h>

namespace Lumo::Graphics {

NodeCallbacks& NodeCallbacks::Installed() {
    static NodeCallbacks callbacks;
    return callbacks;
}

} // namespace Lumo::Graphics
