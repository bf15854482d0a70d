#include <Lumo/Devices/IRenderEffect.h>
#include <Lumo/Devices/StockEffects.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/UString.h>

namespace Lumo::Devices {

using Lumo::Objects::AutoPtr;
using Lumo::Objects::Intern;
using Lumo::Objects::UString;
using Lumo::Objects::vec3;
using Lumo::Objects::vec4;

UString* StockEffects::SolidName() {
    static UString* name = Intern(L"Stock_Solid");
    return name;
}
UString* StockEffects::SolidTName() {
    static UString* name = Intern(L"Stock_SolidT");
    return name;
}
UString* StockEffects::BasicMaterialName() {
    static UString* name = Intern(L"Stock_BasicMaterial");
    return name;
}
UString* StockEffects::LayeredName() {
    static UString* name = Intern(L"Stock_Layered");
    return name;
}

namespace {

void AddSolidParameters(IRenderEffect* e) {
    e->AddParameter(Intern(L"Color"), eParamFloat4);
    e->AddParameter(Intern(L"Opacity"), eParamFloat);
    e->AddParameter(Intern(L"ColorSource"), eParamInt);
    e->AddParameter(Intern(L"VertexColorAlpha"), eParamInt);
    e->AddParameter(Intern(L"Lighting"), eParamInt);
    ParameterValues& d = e->Defaults();
    d.SetFloat4(StockEffects::eSolidColor, vec4<float>(1, 1, 1, 1));
    d.SetFloat(StockEffects::eSolidOpacity, 1.0f);
    d.SetInt(StockEffects::eSolidColorSource, StockEffects::eColorUniform);
    d.SetBool(StockEffects::eSolidLighting, true);
}

void AddTextureParameters(IRenderEffect* e) {
    e->AddParameter(Intern(L"Texture"), eParamTexture);
    e->AddParameter(Intern(L"TextureAlpha"), eParamInt);
    e->AddParameter(Intern(L"BlendMode"), eParamInt);
    e->AddParameter(Intern(L"TextureTransform"), eParamMatrix);
    e->Defaults().SetInt(StockEffects::eSolidBlendMode, StockEffects::eTextureModulate);
}

void AddMaterialParameters(IRenderEffect* e) {
    e->AddParameter(Intern(L"Emissive"), eParamFloat3);
    e->AddParameter(Intern(L"Ambient"), eParamFloat3);
    e->AddParameter(Intern(L"Diffuse"), eParamFloat3);
    e->AddParameter(Intern(L"Specular"), eParamFloat3);
    e->AddParameter(Intern(L"Shininess"), eParamFloat);
    e->AddParameter(Intern(L"Opacity"), eParamFloat);
    e->AddParameter(Intern(L"ColorSource"), eParamInt);
    e->AddParameter(Intern(L"ReflectionBlend"), eParamFloat);
    ParameterValues& d = e->Defaults();
    d.SetFloat3(StockEffects::eMaterialAmbient, vec3<float>(0.2f, 0.2f, 0.2f));
    d.SetFloat3(StockEffects::eMaterialDiffuse, vec3<float>(0.8f, 0.8f, 0.8f));
    d.SetFloat3(StockEffects::eMaterialSpecular, vec3<float>(1, 1, 1));
    d.SetFloat(StockEffects::eMaterialShininess, 20.0f);
    d.SetFloat(StockEffects::eMaterialOpacity, 1.0f);
}

} // namespace

IRenderEffect* StockEffects::Make(UString* name) {
    if (!name)
        return nullptr;
    if (name != SolidName() && name != SolidTName() && name != BasicMaterialName() && name != LayeredName())
        return nullptr;
    IRenderEffect* e = IRenderEffect::Make(name);
    if (name == SolidName() || name == SolidTName())
        AddSolidParameters(e);
    if (name == SolidTName())
        AddTextureParameters(e);
    if (name == BasicMaterialName())
        AddMaterialParameters(e);
    // Stock_Layered has no values of its own: its instances draw their layers in turn.
    return e;
}

bool StockEffects::Extends(const IRenderEffect* effect, UString* stockName) {
    if (!effect)
        return false;
    if (effect->Name() == stockName)
        return true;
    AutoPtr<IRenderEffect> stock(Make(stockName));
    if (!stock || stock->ParameterCount() > effect->ParameterCount())
        return false;
    for (int i = 0; i < stock->ParameterCount(); ++i)
        if (stock->ParameterName(i) != effect->ParameterName(i) || stock->ParameterType(i) != effect->ParameterType(i))
            return false;
    return true;
}

} // namespace Lumo::Devices
