// The "Scene" text commands that tune the view renderers.
#include <Scene/View/SceneRenderSettings.h>

#include <Brio/Base/TextCommand.h>
#include <Brio/Base/TextCommandParameters.h>
#include <Brio/Types/Color.h>

#include <cstdio>
#include <string>

namespace Brio::Scene {

namespace {

std::wstring Format(const wchar_t* format, double a, double b = 0, double c = 0) {
    wchar_t buffer[128];
    std::swprintf(buffer, 128, format, a, b, c);
    return buffer;
}

class TextCmdSceneRendering : public Brio::TextCommand {
public:
    TextCmdSceneRendering() : TextCommand(L"Scene", L"Rendering", L"Turn on/off the rendering [/on|/off]") {}
    bool execute(const Brio::TextCommandParameters& p, std::wstring& reply) override {
        if (p.hasFlag(L"on"))
            SceneRenderSettings::renderingEnabled(true);
        if (p.hasFlag(L"off"))
            SceneRenderSettings::renderingEnabled(false);
        reply = std::wstring(L"The rendering is: ") + (SceneRenderSettings::renderingEnabled() ? L"On" : L"Off");
        return true;
    }
};

class TextCmdSceneMaxNearFarRatio : public Brio::TextCommand {
public:
    TextCmdSceneMaxNearFarRatio()
        : TextCommand(L"Scene", L"MaxNearFarRatio", L"Maximum near/far ratio in perspective views") {}
    bool execute(const Brio::TextCommandParameters& p, std::wstring& reply) override {
        bool ok = true;
        if (p.count() == 1) {
            double ratio = 0;
            ok = p.parameterAsDouble(0, ratio) && SceneRenderSettings::maxNearFarRatio(ratio);
        }
        reply = Format(L"Perspective max near/far ratio: %.4f", SceneRenderSettings::maxNearFarRatio());
        if (!ok)
            reply += L" (a ratio must be a number of at least 1)";
        return ok;
    }
};

class TextCmdSceneBackground : public Brio::TextCommand {
public:
    TextCmdSceneBackground()
        : TextCommand(L"Scene", L"Background", L"Background color [/vary|/novary] [red green blue]") {}
    bool execute(const Brio::TextCommandParameters& p, std::wstring& reply) override {
        if (p.hasFlag(L"vary"))
            SceneRenderSettings::backgroundCycling(true);
        if (p.hasFlag(L"novary"))
            SceneRenderSettings::backgroundCycling(false);
        bool ok = true;
        if (p.count() == 3) {
            double rgb[3];
            for (int i = 0; i < 3 && ok; ++i)
                ok = p.parameterAsDouble(i, rgb[i]) && rgb[i] >= 0.0 && rgb[i] <= 1.0;
            if (ok)
                SceneRenderSettings::backgroundColor(float(rgb[0]), float(rgb[1]), float(rgb[2]));
        }
        const Brio::Color c = SceneRenderSettings::backgroundColor();
        reply = std::wstring(L"Background: ") + (SceneRenderSettings::backgroundCycling() ? L" /vary" : L" /novary") +
                L" " + Format(L"%.4f %.4f %.4f", c.red(), c.green(), c.blue());
        if (!ok)
            reply += L" (red, green and blue must be numbers from 0 to 1)";
        return ok;
    }
};

TextCmdSceneRendering g_rendering;
TextCmdSceneMaxNearFarRatio g_maxNearFarRatio;
TextCmdSceneBackground g_background;

} // namespace

} // namespace Brio::Scene
