#include <Scene/Attributes/CurvatureMapAttribute.h>

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/AVirtualDevice.h>
#include <Lumo/Devices/DeviceCaches.h>
#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Objects/Mat4.h>
#include <Scene/Attributes/AnalysisEffects.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace Lumo::Scene {

using namespace Lumo::Devices;
using EI = Lumo::Devices::EffectInstance;
using A = AnalysisEffects;
using Lumo::Objects::mat4;
using Lumo::Objects::vec3;

LUMO_DEFINE_CLASS(CurvatureMapAttribute, VisualAnalysisAttribute)

CurvatureMapAttribute* CurvatureMapAttribute::Make(const CurvatureMapData& data, bool highQuality, bool winTies,
                                                   unsigned char priority) {
    return new CurvatureMapAttribute(data, highQuality, winTies, priority);
}

namespace {
// Blue, cyan, green, yellow, red for t from 0 to 1.
vec3<float> RampColor(float t) {
    static const vec3<float> stops[] = {{0, 0, 1}, {0, 1, 1}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}};
    const float x = std::clamp(t, 0.0f, 1.0f) * 4.0f;
    const int i = std::min(static_cast<int>(x), 3);
    const float f = x - static_cast<float>(i);
    return stops[i] * (1.0f - f) + stops[i + 1] * f;
}

TextureInstance* MakeRamp(int width, bool banded) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * 4);
    for (int x = 0; x < width; ++x) {
        float t = (static_cast<float>(x) + 0.5f) / static_cast<float>(width);
        if (banded) {
            const int band = std::min(static_cast<int>(t * CurvatureMapAttribute::kBandCount),
                                      CurvatureMapAttribute::kBandCount - 1);
            t = static_cast<float>(band) / static_cast<float>(CurvatureMapAttribute::kBandCount - 1);
        }
        const vec3<float> c = RampColor(t);
        for (int k = 0; k < 3; ++k)
            pixels[x * 4 + k] = static_cast<std::uint8_t>(std::lround(c[k] * 255.0f));
        pixels[x * 4 + 3] = 255;
    }
    TextureInstance* ramp = TextureInstance::Make(width, 1, pixels.data());
    if (ramp)
        ramp->Sampling(eFilterLinear, eAddressClamp);
    return ramp;
}
} // namespace

TextureInstance* CurvatureMapAttribute::GetTexture(ADrawContext& dc) const {
    AVirtualDevice* device = dc.VirtualDevice();
    if (!device)
        return nullptr;
    const bool banded = m_data.displayType != CurvatureMapData::eSmooth;
    // Bands need a texel per band edge only; a smooth ramp looks better finer.
    const int width = banded ? kBandCount * 8 : (GetHighQuality() ? 256 : 64);
    std::wstring key =
        L"CurvatureRamp(" + std::wstring(banded ? L"band" : L"smooth") + L"," + std::to_wstring(width) + L")";
    Lumo::Objects::UString* name = Lumo::Objects::Intern(key);
    TextureCache* textures = device->Caches()->Textures();
    Lumo::Objects::AutoPtr<TextureInstance> ramp(MakeRamp(width, banded));
    textures->Add(name, ramp); // refused when an earlier call filed one
    return textures->Acquire(name);
}

EI* CurvatureMapAttribute::CreateEffectInstance(ADrawContext& dc, bool) {
    EI* e = Lumo::Devices::EffectInstance::Make(A::Acquire(Device(dc), A::CurvatureName()));
    if (!e)
        return nullptr;
    ParameterValues& v = e->Values();
    v.SetInt(A::eCurvatureMapType, m_data.mapType);
    // Gaussian curvature reaches the end of the ramp at the threshold.
    v.SetFloat(A::eCurvatureGaussianFactor, m_data.threshold > 0.0f ? 1.0f / m_data.threshold : 1.0f);
    // Curvature values from min to max map to ramp coordinates 0 to 1.
    const float range = m_data.maxValue - m_data.minValue;
    const float s = std::fabs(range) > 1e-12f ? 1.0f / range : 1.0f;
    v.SetMatrix(A::eCurvatureTextureTransform, mat4<float>::Translation(vec3<float>(-m_data.minValue, 0, 0)) *
                                                   mat4<float>::Scale(vec3<float>(s, 1, 1)));
    v.SetTexture(A::eCurvatureDiffuseTexture, GetTexture(dc));
    return e;
}

bool CurvatureMapAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    return VisualAnalysisAttribute::Equals(other) && static_cast<const CurvatureMapAttribute*>(other)->m_data == m_data;
}

} // namespace Lumo::Scene
