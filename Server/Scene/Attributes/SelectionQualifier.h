#pragma once
#include <Lumo/Objects/IBaseInterface.h>

namespace Lumo::Graphics {
class IIntersection;
} // namespace Lumo::Graphics

namespace Lumo::Scene {

/// Decides whether a pick hit on geometry below a selectability attribute counts.
/// The base accepts every hit; kinds refine it (for example by an image's alpha).
class SelectionQualifier : public Lumo::Objects::IBaseInterface {
public:
    SelectionQualifier() = default;
    SelectionQualifier(const SelectionQualifier&) = default;
    SelectionQualifier& operator=(const SelectionQualifier&) = default;
    ~SelectionQualifier() override = default;

    static Lumo::Objects::UString* StaticClassName();
    Lumo::Objects::UString* ClassName() const override;
    void* GetInterface(Lumo::Objects::UString* name) override;

    virtual bool selectable(Lumo::Graphics::IIntersection* hit);
};

} // namespace Lumo::Scene
