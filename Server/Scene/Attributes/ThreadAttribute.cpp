#include <Scene/Attributes/ThreadAttribute.h>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(ThreadAttribute, Attribute)

ThreadAttribute* ThreadAttribute::Make(const ThreadDataVector& threads, bool winTies, unsigned char priority) {
    return new ThreadAttribute(threads, winTies, priority);
}

} // namespace Lumo::Scene
