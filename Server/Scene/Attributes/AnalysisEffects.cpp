#include <Scene/Attributes/AnalysisEffects.h>

#include <Lumo/Devices/AVirtualDevice.h>
#include <Lumo/Devices/DeviceCaches.h>
#include <Lumo/Devices/IRenderEffect.h>
#include <Lumo/Objects/UString.h>

namespace Lumo::Scene {

using namespace Lumo::Devices;
using Lumo::Objects::Intern;
using Lumo::Objects::UString;
using Lumo::Objects::vec3;

UString* AnalysisEffects::ZebraName() {
    static UString* name = Intern(L"TavexZebraEffect");
    return name;
}
UString* AnalysisEffects::DraftName() {
    static UString* name = Intern(L"TavexDraftEffect");
    return name;
}
UString* AnalysisEffects::CurvatureName() {
    static UString* name = Intern(L"TavexCurvatureEffect");
    return name;
}

namespace {

int Add(IRenderEffect* e, const wchar_t* name, EParameterType type) {
    return e->AddParameter(Intern(name), type);
}

// The lit-material block the three effects share, from index first on.
void AddMaterial(IRenderEffect* e, int first, const vec3<float>& diffuse) {
    Add(e, L"Emissive Color", eParamFloat3);
    Add(e, L"Ambient Color", eParamFloat3);
    Add(e, L"Diffuse Color", eParamFloat3);
    Add(e, L"Specular Color", eParamFloat3);
    Add(e, L"Glossiness", eParamFloat);
    Add(e, L"Opacity", eParamFloat);
    ParameterValues& d = e->Defaults();
    d.SetFloat3(first + 1, vec3<float>(0.2f, 0.2f, 0.2f));
    d.SetFloat3(first + 2, diffuse);
    d.SetFloat(first + 4, 16.0f);
    d.SetFloat(first + 5, 1.0f);
}

IRenderEffect* MakeZebra(UString* name) {
    IRenderEffect* e = IRenderEffect::Make(name);
    Add(e, L"Stripe Direction", eParamFloat);
    Add(e, L"Stripe Density", eParamFloat);
    Add(e, L"Stripe Color 0", eParamFloat3);
    Add(e, L"Stripe Color 1", eParamFloat3);
    Add(e, L"Stripe Locked", eParamInt);
    AddMaterial(e, AnalysisEffects::eZebraEmissive, vec3<float>(1, 1, 1));
    Add(e, L"Zebra Texture", eParamTexture);
    ParameterValues& d = e->Defaults();
    d.SetFloat(AnalysisEffects::eZebraStripeDirection, 0.5f);
    d.SetFloat(AnalysisEffects::eZebraStripeDensity, 20.0f);
    d.SetFloat3(AnalysisEffects::eZebraStripeColor0, vec3<float>(0, 0, 0.5f));
    d.SetFloat3(AnalysisEffects::eZebraStripeColor1, vec3<float>(1, 0.8f, 0.5f));
    return e;
}

IRenderEffect* MakeDraft(UString* name) {
    IRenderEffect* e = IRenderEffect::Make(name);
    Add(e, L"Pull Direction", eParamFloat3);
    Add(e, L"Draft Angle Positive", eParamFloat);
    Add(e, L"Draft Angle Negative", eParamFloat);
    Add(e, L"Tolerance Angle Positive", eParamFloat);
    Add(e, L"Tolerance Angle Negative", eParamFloat);
    AddMaterial(e, AnalysisEffects::eDraftEmissive, vec3<float>(0.7f, 0.7f, 0.7f));
    Add(e, L"Draft Texture", eParamTexture);
    e->Defaults().SetFloat3(AnalysisEffects::eDraftPullDirection, vec3<float>(0, 0, 1));
    return e;
}

IRenderEffect* MakeCurvature(UString* name) {
    IRenderEffect* e = IRenderEffect::Make(name);
    Add(e, L"Map Type", eParamInt);
    AddMaterial(e, AnalysisEffects::eCurvatureEmissive, vec3<float>(0.7f, 0.7f, 0.7f));
    Add(e, L"GaussianFactor", eParamFloat);
    Add(e, L"Texture Transform", eParamMatrix);
    Add(e, L"Diffuse Texture", eParamTexture);
    e->Defaults().SetFloat(AnalysisEffects::eCurvatureGaussianFactor, 1.0f);
    return e;
}

} // namespace

IRenderEffect* AnalysisEffects::Make(UString* name) {
    if (name == ZebraName())
        return MakeZebra(name);
    if (name == DraftName())
        return MakeDraft(name);
    if (name == CurvatureName())
        return MakeCurvature(name);
    return nullptr;
}

IRenderEffect* AnalysisEffects::Acquire(AVirtualDevice* device, UString* name) {
    if (!device || !name)
        return nullptr;
    EffectCache* effects = device->Caches()->Effects();
    if (IRenderEffect* known = effects->Acquire(name))
        return known;
    if (name != ZebraName() && name != DraftName() && name != CurvatureName())
        return nullptr;
    EffectCache::RegisterFactory(name, &AnalysisEffects::Make);
    return effects->Acquire(name);
}

void AnalysisEffects::UnregisterFactories() {
    for (UString* name : {ZebraName(), DraftName(), CurvatureName()})
        EffectCache::UnregisterFactory(name, &AnalysisEffects::Make);
}

} // namespace Lumo::Scene
