#pragma once
#include <Brio/Base/XMLAttribute.h>
#include <Brio/Base/XMLNode.h>
#include <Brio/Types/Color.h>

#include <string>

namespace Brio::Scene {

class Environment;
struct SelectEffectInfo;

/// Reads environment definitions. A value that is missing or malformed (too few or too many
/// numbers, text that is not a number, a number that is not finite) leaves what it would set
/// as it was; elements of unknown names are ignored.
class EnvironmentReader {
public:
    /// Fills env from the children of a definition's root element.
    static void readDefinition(const Brio::XMLNode& root, Environment& env);
    /// The effect attributes of one effect element into info.
    static void readSelectEffectInfo(const Brio::XMLNode& element, SelectEffectInfo& info);

    /// Exactly count numbers separated by white space; false, with out untouched, otherwise.
    static bool readNumbers(const std::wstring& text, float* out, int count);
    /// How a colour attribute orders its numbers.
    enum EColorText { eARGB, eRGBA, eRGB };
    /// A colour of four (alpha first or last) or three numbers (alpha 1); false, with c
    /// untouched, when the attribute is missing or malformed.
    static bool readColor(const Brio::XMLAttribute& attribute, EColorText order, Brio::Color& c);
    /// A finite number; false, with value untouched, when missing or malformed.
    static bool readFloat(const Brio::XMLAttribute& attribute, float& value);
    static bool readDouble(const Brio::XMLAttribute& attribute, double& value);
    static bool readInt(const Brio::XMLAttribute& attribute, int& value);
};

} // namespace Brio::Scene
