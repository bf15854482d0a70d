#include <Scene/View/ViewFragementPassNames.h>

#include <Brio/Base/UniqueString.h>

namespace Brio::Scene {

// The intern table is made on first use, so these may run in any order with other statics.
const Brio::UniqueString* const ViewFragementPassNames::sModel = Brio::UniqueString::find(L"Model");
const Brio::UniqueString* const ViewFragementPassNames::sActiveEdit = Brio::UniqueString::find(L"ActiveEdit");
const Brio::UniqueString* const ViewFragementPassNames::sSelection = Brio::UniqueString::find(L"Selection");
const Brio::UniqueString* const ViewFragementPassNames::sSelectionEffect = Brio::UniqueString::find(L"SelectionEffect");
const Brio::UniqueString* const ViewFragementPassNames::sSketchSelection =
    Brio::UniqueString::find(L"SketchSelectionEffect");
const Brio::UniqueString* const ViewFragementPassNames::sPrehighlightEffect =
    Brio::UniqueString::find(L"PrehighlightEffect");
const Brio::UniqueString* const ViewFragementPassNames::sPrehighlight = Brio::UniqueString::find(L"Prehighlight");
const Brio::UniqueString* const ViewFragementPassNames::sManipulator = Brio::UniqueString::find(L"Manipulator");

} // namespace Brio::Scene
