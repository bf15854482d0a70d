#pragma once

namespace Brio {
class UniqueString;
}

namespace Brio::Scene {

/// The layer names of view fragment passes, which are also the names of a document's scene
/// roots. Interned when the library loads; passes compare them by pointer.
class ViewFragementPassNames {
public:
    static const Brio::UniqueString* const sModel;              ///< "Model"
    static const Brio::UniqueString* const sActiveEdit;         ///< "ActiveEdit"
    static const Brio::UniqueString* const sSelection;          ///< "Selection"
    static const Brio::UniqueString* const sSelectionEffect;    ///< "SelectionEffect"
    static const Brio::UniqueString* const sSketchSelection;    ///< "SketchSelectionEffect"
    static const Brio::UniqueString* const sPrehighlightEffect; ///< "PrehighlightEffect"
    static const Brio::UniqueString* const sPrehighlight;       ///< "Prehighlight"
    static const Brio::UniqueString* const sManipulator;        ///< "Manipulator"
};

} // namespace Brio::Scene
