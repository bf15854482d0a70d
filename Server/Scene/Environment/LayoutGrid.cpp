#include <Scene/Environment/LayoutGrid.h>

#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Objects/SharedMatrix.h>

namespace Brio::Scene {

LayoutGrid::LayoutGrid(Environment* environment) : m_environment(environment) {}

LayoutGrid::~LayoutGrid() = default;

} // namespace Brio::Scene
