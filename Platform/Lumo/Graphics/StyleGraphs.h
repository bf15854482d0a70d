#pragma once

namespace Lumo::Objects {
class UString;
}

namespace Lumo::Graphics {

/// Names and stock definitions of the line-symbolisation fragments: lines styled in screen
/// space (pixels) or model space, and the stroke that widens them.
class StyleGraphs {
public:
    static Lumo::Objects::UString* ScreenSymbolizationGraph();
    static Lumo::Objects::UString* ModelSymbolizationGraph();
    static Lumo::Objects::UString* LineStroke();
    /// Argument and port names the style fragments use.
    static Lumo::Objects::UString* WeightParameter();  ///< float: stroke width
    static Lumo::Objects::UString* StyleInput();       ///< the style a stroke widens
    static Lumo::Objects::UString* StyleOutput();      ///< the styled lines
    static Lumo::Objects::UString* PatternParameter(); ///< int: dash pattern id, 0 solid
    static Lumo::Objects::UString* ScaleParameter();   ///< float2: pattern scales

    /// Registers the stock style fragments with the fragment manager.
    static void RegisterStockFragments();
};

} // namespace Lumo::Graphics
