#pragma once

namespace Lumo::Graphics {

/// The graphics system's own agents, registered with the class factory under their class
/// names so that agent lists can name them.
class StockAgents {
public:
    static void Register();
};

} // namespace Lumo::Graphics
