#include <Scene/Environment/EnvironmentReader.h>

#include <Brio/Base/NumberText.h>
#include <Brio/Base/StringConversion.h>
#include <Scene/Environment/Environment.h>

#include <cmath>
#include <cwctype>
#include <vector>

namespace Brio::Scene {

using vec3 = Lumo::Objects::vec3<float>;

bool EnvironmentReader::readNumbers(const std::wstring& text, float* out, int count) {
    std::vector<float> values;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && std::iswspace(text[i]))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && !std::iswspace(text[i]))
            ++i;
        if (start == i)
            break;
        float v = 0;
        if (!Brio::Utility::parseNumber(Brio::Utility::toUtf8(text.substr(start, i - start)), v) || !std::isfinite(v))
            return false;
        values.push_back(v);
        if (int(values.size()) > count)
            return false;
    }
    if (int(values.size()) != count)
        return false;
    for (int k = 0; k < count; ++k)
        out[k] = values[std::size_t(k)];
    return true;
}

bool EnvironmentReader::readColor(const Brio::XMLAttribute& attribute, EColorText order, Brio::Color& c) {
    float v[4];
    if (!attribute || !readNumbers(attribute.asStr(), v, order == eRGB ? 3 : 4))
        return false;
    if (order == eARGB)
        c = Brio::Color(v[1], v[2], v[3], v[0]);
    else
        c = Brio::Color(v[0], v[1], v[2], order == eRGBA ? v[3] : 1.0f);
    return true;
}

bool EnvironmentReader::readFloat(const Brio::XMLAttribute& attribute, float& value) {
    float v;
    if (!attribute || !readNumbers(attribute.asStr(), &v, 1))
        return false;
    value = v;
    return true;
}

bool EnvironmentReader::readDouble(const Brio::XMLAttribute& attribute, double& value) {
    double v = 0;
    if (!attribute || !Brio::Utility::parseNumber(Brio::Utility::toUtf8(attribute.asStr()), v) || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

bool EnvironmentReader::readInt(const Brio::XMLAttribute& attribute, int& value) {
    int v = 0;
    if (!attribute || !Brio::Utility::parseNumber(Brio::Utility::toUtf8(attribute.asStr()), v))
        return false;
    value = v;
    return true;
}

namespace {

vec3 Vec3(const float* v) {
    return vec3(v[0], v[1], v[2]);
}

/// An integer flag: true when not 0 (or, with exactlyOne, when exactly 1).
void ReadFlag(const Brio::XMLAttribute& attribute, bool exactlyOne, bool& flag) {
    int v = 0;
    if (EnvironmentReader::readInt(attribute, v))
        flag = exactlyOne ? v == 1 : v != 0;
}

void ReadRGBA(const Brio::XMLNode& element, const char* attribute, Brio::Color& c) {
    EnvironmentReader::readColor(element.attribute(attribute), EnvironmentReader::eRGBA, c);
}

EnvFeature ReadFeature(const Brio::XMLNode& element) {
    EnvFeature f;
    if (const Brio::XMLAttribute shape = element.attribute("Shape"))
        f.meshPath(shape.asStr());
    if (const Brio::XMLAttribute texture = element.attribute("Texture"))
        f.texturePath(texture.asStr());
    bool surrounding = false, ground = false;
    ReadFlag(element.attribute("IsSurrounding"), false, surrounding);
    ReadFlag(element.attribute("IsGroundPlane"), false, ground);
    f.isSurrounding(surrounding);
    f.isGroundPlane(ground);
    return f;
}

EnvLight ReadLight(const Brio::XMLNode& element) {
    EnvLight light;
    if (const Brio::XMLAttribute type = element.attribute("type"))
        light.type(type.asStr());
    if (const Brio::XMLAttribute space = element.attribute("Space"))
        light.space(space.asStr());
    float v[3];
    if (const Brio::XMLAttribute a = element.attribute("Color"); a && EnvironmentReader::readNumbers(a.asStr(), v, 3))
        light.color(Vec3(v));
    if (const Brio::XMLAttribute a = element.attribute("Direction");
        a && EnvironmentReader::readNumbers(a.asStr(), v, 3))
        light.direction(Vec3(v));
    if (const Brio::XMLAttribute a = element.attribute("Position");
        a && EnvironmentReader::readNumbers(a.asStr(), v, 3))
        light.position(Vec3(v));
    if (const Brio::XMLAttribute a = element.attribute("Attenuation");
        a && EnvironmentReader::readNumbers(a.asStr(), v, 3))
        light.attenuation(Vec3(v));
    float gain = light.gain();
    if (EnvironmentReader::readFloat(element.attribute("Gain"), gain))
        light.gain(gain);
    if (const Brio::XMLAttribute a = element.attribute("SpotAngle");
        a && EnvironmentReader::readNumbers(a.asStr(), v, 2)) {
        light.spotInner(v[0]);
        light.spotOuter(v[1]);
    }
    return light;
}

/// A float that reads as 0 when absent (but keeps a malformed value out).
float FloatOrZero(const Brio::XMLAttribute& attribute) {
    float v = 0.0f;
    EnvironmentReader::readFloat(attribute, v);
    return v;
}

} // namespace

void EnvironmentReader::readSelectEffectInfo(const Brio::XMLNode& e, SelectEffectInfo& info) {
    ReadRGBA(e, "BaseColorRGBA", info.baseColor);
    ReadRGBA(e, "BackFaceColorRGBA", info.backFaceColor);
    ReadRGBA(e, "HaloColorRGBA", info.haloColor);
    ReadRGBA(e, "HiddenLineColorRGBA", info.hiddenLineColor);
    ReadRGBA(e, "LineColorRGBA", info.lineColor);
    ReadRGBA(e, "LineColor2RGBA", info.lineColor2);
    ReadRGBA(e, "GlowColorRGBA", info.glowColor);
    readFloat(e.attribute("BlurWeight"), info.blurWeight);
    readInt(e.attribute("HaloWidth"), info.haloWidth);
    readInt(e.attribute("LinesWidth"), info.linesWidth);
    ReadFlag(e.attribute("UseBase"), true, info.useBase);
    ReadFlag(e.attribute("UseGlow"), true, info.useGlow);
    ReadFlag(e.attribute("UseHalo"), true, info.useHalo);
    ReadFlag(e.attribute("UseHiddenLines"), true, info.useHiddenLines);
    ReadFlag(e.attribute("UseLines"), true, info.useLines);
    ReadFlag(e.attribute("QuickHalo"), true, info.quickHalo);
    ReadFlag(e.attribute("DilateOne"), true, info.dilateOne);
}

void EnvironmentReader::readDefinition(const Brio::XMLNode& root, Environment& env) {
    for (const Brio::XMLNode& e : root.children()) {
        const std::string name = e.name().utf8();

        bool isColor = false;
        for (int k = 0; k < Environment::eColorCount; ++k) {
            const auto kind = Environment::EColor(k);
            if (name == Brio::Utility::toUtf8(Environment::colorElementName(kind))) {
                Brio::Color c = env.color(kind);
                if (readColor(e.attribute("ARGB"), eARGB, c))
                    env.color(kind, c);
                isColor = true;
                break;
            }
        }
        if (name == "LayoutGrid") {
            float factor = env.layoutGridScaleFactor();
            if (readFloat(e.attribute("scaleFactor"), factor))
                env.layoutGridScaleFactor(factor);
        }
        if (isColor)
            continue;

        if (name == "OriginOffset") {
            env.originOffset(
                vec3(FloatOrZero(e.attribute("X")), FloatOrZero(e.attribute("Y")), FloatOrZero(e.attribute("Z"))));
        } else if (name == "Background") {
            Brio::Color c = env.backgroundColor();
            if (readColor(e.attribute("RGB"), eRGB, c))
                env.backgroundColor(c);
        } else if (name == "SelectEffectInfo" || name == "HighlightEffectInfo" ||
                   name == "MaterialPreviewSelectEffectInfo" || name == "SketchSelectEffectInfo") {
            SelectEffectInfo info;
            readSelectEffectInfo(e, info);
            if (name == "SelectEffectInfo")
                env.selectParams(info);
            else if (name == "HighlightEffectInfo")
                env.highlightParams(info);
            else if (name == "MaterialPreviewSelectEffectInfo")
                env.materialPreviewSelectParams(info);
            else
                env.sketchSelectParams(info);
        } else if (name == "Features") {
            for (const Brio::XMLNode& child : e.children())
                env.addFeature(ReadFeature(child));
        } else if (name == "Lighting") {
            env.iblGains(vec3(FloatOrZero(e.attribute("AmbientGain")), FloatOrZero(e.attribute("GlossyGain")),
                              FloatOrZero(e.attribute("SharpGain"))));
            for (const Brio::XMLNode& child : e.children())
                env.addLight(ReadLight(child));
        } else if (name == "Scaling") {
            int fit = env.scaleTo();
            if (readInt(e.attribute("FitTo"), fit))
                env.scaleTo(fit);
            bool autoScale = env.autoScale();
            ReadFlag(e.attribute("AutoScale"), false, autoScale);
            env.autoScale(autoScale);
            float factor = env.autoScaleFactor();
            if (readFloat(e.attribute("AutoScaleFactor"), factor))
                env.autoScaleFactor(factor);
        } else if (name == "ColorCycleTable") {
            // A colour that cannot be read is left out rather than added as black.
            for (const Brio::XMLNode& child : e.children()) {
                Brio::Color c;
                if (readColor(child.attribute("RGB"), eRGB, c))
                    env.addCyclingColor(c);
            }
        } else if (name == "RotationPreset") {
            double degrees = env.rotateDegrees();
            if (readDouble(e.attribute("rotateDegrees"), degrees))
                env.rotateDegrees(degrees);
        } else if (name == "NudgePreset") {
            double cm = env.nudgeDistance();
            if (readDouble(e.attribute("nudgeDistanceCM"), cm))
                env.nudgeDistance(cm);
        }
    }
}

} // namespace Brio::Scene
