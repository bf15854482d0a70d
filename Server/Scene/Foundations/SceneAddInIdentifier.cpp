#include <Scene/Foundations/SceneAddInIdentifier.h>

namespace Brio {

const std::string& SceneAddInIdentifier() {
    static const std::string id = "Scene";
    return id;
}

} // namespace Brio
