#include <Lumo/Devices/GraphicScheme.h>

#include <Lumo/Devices/AFragment.h>
#include <Lumo/Objects/UString.h>

namespace Lumo::Devices {

using Lumo::Objects::Intern;
using Lumo::Objects::UString;

UString* GraphicScheme::AmbientEnvironmentName() {
    static UString* name = Intern(L"AmbientEnv");
    return name;
}
UString* GraphicScheme::GlossyEnvironmentName() {
    static UString* name = Intern(L"GlossyEnv");
    return name;
}
UString* GraphicScheme::SharpEnvironmentName() {
    static UString* name = Intern(L"SharpEnv");
    return name;
}
UString* GraphicScheme::CubeParameter() {
    static UString* name = Intern(L"cube");
    return name;
}
UString* GraphicScheme::GainParameter() {
    static UString* name = Intern(L"gain");
    return name;
}
UString* GraphicScheme::TransformParameter() {
    static UString* name = Intern(L"transform");
    return name;
}
UString* GraphicScheme::RadianceOutput() {
    static UString* name = Intern(L"radiance");
    return name;
}

namespace {
AFragment* MakeEnvironmentFragment(UString* name) {
    AFragment* f = AFragment::Make(name);
    f->AddInput(GraphicScheme::CubeParameter(), eParamTexture);
    const int gain = f->AddInput(GraphicScheme::GainParameter(), eParamFloat);
    f->AddInput(GraphicScheme::TransformParameter(), eParamMatrix);
    f->AddOutput(GraphicScheme::RadianceOutput(), eParamFloat3);
    f->Defaults().SetFloat(gain, 1.0f);
    return f;
}
} // namespace

AFragment* GraphicScheme::CreateAmbientEnvironment(AVirtualDevice*) {
    return MakeEnvironmentFragment(AmbientEnvironmentName());
}
AFragment* GraphicScheme::CreateGlossyEnvironment(AVirtualDevice*) {
    return MakeEnvironmentFragment(GlossyEnvironmentName());
}
AFragment* GraphicScheme::CreateSharpEnvironment(AVirtualDevice*) {
    return MakeEnvironmentFragment(SharpEnvironmentName());
}

} // namespace Lumo::Devices
