// The console commands of the area "Options", which change the graphics preferences.
#include <Scene/View/GraphicsOptionGroup.h>

#include <Brio/Base/TextCommand.h>

#include <boost/format.hpp>

#include <cmath>
#include <string>
#include <vector>

namespace Brio::Scene {

namespace {

using Brio::TextCommandParameters;

GraphicsOptionGroup& Options() {
    return *GraphicsOptionGroup::get();
}

/// Names of the values of an integer preference, for replies.
struct ValueName {
    int value;
    const wchar_t* name;
};
std::wstring NameOf(int value, const std::vector<ValueName>& names) {
    for (const ValueName& n : names)
        if (n.value == value)
            return n.name;
    return L"unknown (" + std::to_wstring(value) + L")";
}

/// A flag and the value it sets; the first flag given, in list order, wins.
struct FlagValue {
    const wchar_t* flag;
    int value;
};
bool FirstFlag(const TextCommandParameters& p, const std::vector<FlagValue>& flags, int& value) {
    for (const FlagValue& f : flags)
        if (p.hasFlag(f.flag)) {
            value = f.value;
            return true;
        }
    return false;
}

class TextCmdOptionsDriver : public Brio::TextCommand {
public:
    TextCmdOptionsDriver()
        : TextCommand(L"Options", L"driver",
                      L"[/DX11] [/DX9] [OpenGL] Set Default Graphics Driver(Note: will only be effective in next "
                      L"session)") {}
    bool execute(const TextCommandParameters& p, std::wstring& reply) override {
        if (p.hasFlag(L"DX11"))
            Options().driver(L"VirtualDeviceDx11");
        else if (p.hasFlag(L"DX9"))
            Options().driver(L"VirtualDeviceDx9");
        else if (p.hasFlag(L"OpenGL"))
            Options().driver(L"VirtualDeviceGL");
        const std::wstring working = Options().workingDriver();
        reply = L"The default graphics driver(virtual device) is: " + Options().driver() + L"\n" +
                L"The working graphics driver(virtual device) is: " + (working.empty() ? L"none" : working);
        return true;
    }
};

class TextCmdOptionsSelectionEffect : public Brio::TextCommand {
public:
    TextCmdOptionsSelectionEffect()
        : TextCommand(L"Options", L"SelectionEffect",
                      L"[/normal] [/fast] [/simplified] [/no] [/degraded] Use different selection effect, either "
                      L"always or for degraded (interactive) selections!)") {}
    bool execute(const TextCommandParameters& p, std::wstring& reply) override {
        const bool degraded = p.hasFlag(L"degraded");
        int value = 0;
        if (FirstFlag(p,
                      {{L"normal", eSelectionEffectNormal},
                       {L"fast", eSelectionEffectFast},
                       {L"simplified", eSelectionEffectSimplified},
                       {L"no", eSelectionEffectNone}},
                      value)) {
            if (degraded)
                Options().degradedSelectionEffectOption(SelectionEffectOptions(value));
            else
                Options().selectionEffectOption(SelectionEffectOptions(value));
        }
        const int current = degraded ? Options().degradedSelectionEffectOption() : Options().selectionEffectOption();
        reply = std::wstring(degraded ? L"The degraded selection effect is: " : L"The selection effect is: ") +
                NameOf(current, {{eSelectionEffectNormal, L"normal"},
                                 {eSelectionEffectFast, L"fast"},
                                 {eSelectionEffectSimplified, L"simplified"},
                                 {eSelectionEffectNone, L"none"}});
        return true;
    }
};

/// "/on" switches on, else "/off" switches off, else the state is only reported.
class TextCmdOptionsOnOff : public Brio::TextCommand {
public:
    using Getter = bool (GraphicsOptionGroup::*)() const;
    using Setter = void (GraphicsOptionGroup::*)(bool);
    TextCmdOptionsOnOff(const wchar_t* name, const wchar_t* help, const wchar_t* prefix, Getter get, Setter set)
        : TextCommand(L"Options", name, help), m_prefix(prefix), m_get(get), m_set(set) {}
    bool execute(const TextCommandParameters& p, std::wstring& reply) override {
        if (p.hasFlag(L"on"))
            (Options().*m_set)(true);
        else if (p.hasFlag(L"off"))
            (Options().*m_set)(false);
        reply = m_prefix + ((Options().*m_get)() ? L"on" : L"off");
        return true;
    }

private:
    std::wstring m_prefix;
    Getter m_get;
    Setter m_set;
};

/// An integer preference chosen by flags, reported by name.
class TextCmdOptionsChoice : public Brio::TextCommand {
public:
    using Getter = int (GraphicsOptionGroup::*)() const;
    using Setter = void (GraphicsOptionGroup::*)(int);
    TextCmdOptionsChoice(const wchar_t* name, const wchar_t* help, const wchar_t* prefix,
                         std::initializer_list<FlagValue> flags, std::initializer_list<ValueName> names, Getter get,
                         Setter set)
        : TextCommand(L"Options", name, help), m_prefix(prefix), m_flags(flags), m_names(names), m_get(get),
          m_set(set) {}
    bool execute(const TextCommandParameters& p, std::wstring& reply) override {
        if (int value = 0; FirstFlag(p, m_flags, value))
            (Options().*m_set)(value);
        reply = m_prefix + NameOf((Options().*m_get)(), m_names);
        return true;
    }

private:
    std::wstring m_prefix;
    std::vector<FlagValue> m_flags;
    std::vector<ValueName> m_names;
    Getter m_get;
    Setter m_set;
};

class TextCmdOptionsSupremeAggressiveConsolidation : public Brio::TextCommand {
public:
    TextCmdOptionsSupremeAggressiveConsolidation()
        : TextCommand(L"Options", L"SupremeAggressiveConsolidation",
                      L"Consolidate nodes the most aggressively: /on /off") {}
    bool execute(const TextCommandParameters& p, std::wstring& reply) override {
        if (p.hasFlag(L"on"))
            Options().supremeAggressiveConsolidation(true);
        else if (p.hasFlag(L"off"))
            Options().supremeAggressiveConsolidation(false);
        reply = std::wstring(L"The most aggressive consolidation is: ") +
                (Options().supremeAggressiveConsolidation() ? L"Enabled" : L"Disabled");
        return true;
    }
};

/// Without parameters reports the value; with one number sets it. Text that is not a finite
/// number, or is out of range, is refused and the value stays.
class TextCmdOptionsNumber : public Brio::TextCommand {
public:
    using Getter = double (*)();
    using Setter = void (*)(double);
    using Valid = bool (*)(double);
    TextCmdOptionsNumber(const wchar_t* name, const wchar_t* help, const wchar_t* format, Getter get, Setter set,
                         Valid valid)
        : TextCommand(L"Options", name, help), m_format(format), m_get(get), m_set(set), m_valid(valid) {}
    bool execute(const TextCommandParameters& p, std::wstring& reply) override {
        if (p.count() == 0 && p.flags().empty()) {
            reply = (boost::wformat(m_format) % m_get()).str();
            return true;
        }
        double value = 0.0;
        if (p.count() != 1 || !p.flags().empty() || !p.parameterAsDouble(0, value) || !std::isfinite(value) ||
            !m_valid(value)) {
            reply = L"illegal value";
            return false;
        }
        m_set(value);
        reply = L"okay";
        return true;
    }

private:
    std::wstring m_format;
    Getter m_get;
    Setter m_set;
    Valid m_valid;
};

// A factor of zero or less would collapse or mirror every pixel-scaled object.
TextCmdOptionsNumber g_pixelScaleFactor(
    L"PixelScaleFactor", L"Set global pixel-scale factor", L" global pixel scale factor: %1% ",
    [] { return double(Options().pixelScaleFactor()); }, [](double v) { Options().pixelScaleFactor(float(v)); },
    [](double v) { return v > 0.0 && std::isfinite(float(v)); });
TextCmdOptionsNumber g_minFPS(
    L"MinFPS", L"Set minimum allowed frame rate before start degrading effects and caching rendering result",
    L" Minimum allowed frame rate: %1% ", [] { return Options().minFPS(); }, [](double v) { Options().minFPS(v); },
    [](double v) { return v >= 0.0; });

TextCmdOptionsDriver g_driver;
TextCmdOptionsSelectionEffect g_selectionEffect;
TextCmdOptionsSupremeAggressiveConsolidation g_supremeAggressiveConsolidation;

using G = GraphicsOptionGroup;
TextCmdOptionsOnOff g_onOff[] = {
    {L"MSAA", L"[/on] [/off] Turn on/off multi-sampling anti aliasing", L"The multi-sampling anti aliasing is: ",
     &G::MSAA, &G::MSAA},
    {L"FXAA", L"[/on] [/off] Turn on/off fast approximation anti aliasing",
     L"The fast approximation anti aliasing is: ", &G::FXAA, &G::FXAA},
    {L"OptimizedRendering", L"[/on] [/off] Turn on/off optimized rendering, where we minimize what gets invalidated",
     L"Optimized Rendering is: ", &G::optimizedRendering, &G::optimizedRendering},
    {L"CachingRendering", L"[/on] [/off] Turn on/off caching rendering, where we can redisplay highlights more quickly",
     L"Caching Rendering is: ", &G::cachingRenderingResult, &G::cachingRenderingResult},
    {L"LegacyFacetingAPI", L"[/on] [/off] Turn on/off legacy faceting code", L"Legacy faceting code is: ",
     &G::legacyFacetingAPI, &G::legacyFacetingAPI},
    {L"ColorCycling", L"[/on] [/off] Turn on/off color cycling for default material",
     L"Color cycling for default material is: ", &G::MaterialColorCycling, &G::MaterialColorCycling},
    {L"DisplayDome", L"[/on] [/off] Turn on/off the display of the environment(dome)",
     L"The display of the environment(dome) is: ", &G::displayDome, &G::displayDome},
    {L"DisplayGroundPlane", L"[/on] [/off] Turn on/off the display of the environment(GroundPlane)",
     L"The display of the environment(GroundPlane) is: ", &G::displayGroundPlane, &G::displayGroundPlane},
    {L"SelectClosestItemOnly", L"[/on] [/off] Turn on/off selecting closest item only",
     L"The selecting closest item is: ", &G::selectClosestItemOnly, &G::selectClosestItemOnly},
    {L"ShowLayoutGrid", L"[/on] [/off] Turn on/off Layout Grid", L"LayoutGrid is : ", &G::showLayoutGrid,
     &G::showLayoutGrid},
    {L"GraphicsSplitTestEnabled", L"[/on] [/off] Turn on/off graphics split test",
     L"Graphics server/client split test is: ", &G::graphicsSplitTestEnabled, &G::graphicsSplitTestEnabled},
    {L"TransparentBackground", L"[/on] [/off] Turn on/off transparent background when saved into an image",
     L"Transparent background is: ", &G::transparentBackground, &G::transparentBackground},
};

TextCmdOptionsChoice g_objectShadowType(L"ObjectShadowType", L"Set object shadow type: /sharp /soft /soft2 /none",
                                        L"The object shadow type is: ",
                                        {{L"sharp", 1}, {L"soft", 2}, {L"soft2", 3}, {L"none", 0}},
                                        {{0, L"none"}, {1, L"sharp"}, {2, L"soft"}, {3, L"soft2"}},
                                        &G::objectShadowType, &G::objectShadowType);
TextCmdOptionsChoice g_objectShadowFit(L"ObjectShadowFit", L"Set object shadow Fit: /scene /view /cascade",
                                       L"The object shadow fit is: ", {{L"scene", 0}, {L"view", 1}, {L"cascade", 2}},
                                       {{0, L"scene"}, {1, L"view"}, {2, L"cascade"}}, &G::objectShadowFit,
                                       &G::objectShadowFit);
TextCmdOptionsChoice g_deviceType(
    L"DeviceType", L"Set device type: /HAL /REF /SW", L"The Device Type is: ", {{L"HAL", 1}, {L"REF", 2}, {L"SW", 3}},
    {{1, L"Hardware renderer"}, {2, L"Reference(software) renderer(Work for Dx9 & Dx11)"}, {3, L"Software renderer"}},
    &G::deviceType, &G::deviceType);

} // namespace

} // namespace Brio::Scene
