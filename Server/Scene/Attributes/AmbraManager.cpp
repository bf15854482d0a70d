#include <Scene/Attributes/AmbraManager.h>

#include <Brio/Base/PathInfo.h>
#include <Brio/Base/StringConversion.h>

#include <pugixml.hpp>

#include <algorithm>
#include <charconv>
#include <iostream>
#include <system_error>

namespace Brio {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDefaultFrontFaceId = "Paint-015";

void LogMessage(const Status& status) {
    const char* level = status.isError() ? "error" : "warning";
    std::cerr << "BrioScene: material library " << level << ": " << Utility::toUtf8(status.message()) << '\n';
}

std::wstring Wide(const std::string& s) {
    return Utility::toWide(s);
}
std::wstring Wide(const fs::path& p) {
    return Utility::toWide(p.string());
}

/// Parses "count" floats separated by blanks; false on anything else.
bool ParseFloats(const char* text, float* out, int count) {
    const char* p = text;
    const char* end = text + std::char_traits<char>::length(text);
    for (int i = 0; i < count; ++i) {
        while (p < end && (*p == ' ' || *p == '\t' || *p == ','))
            ++p;
        auto [next, ec] = std::from_chars(p, end, out[i]);
        if (ec != std::errc() || next == p)
            return false;
        p = next;
    }
    while (p < end && (*p == ' ' || *p == '\t'))
        ++p;
    return p == end;
}

/// Reads an optional attribute of count floats, each within [lo, hi]. Empty error on success.
std::string ReadValues(const pugi::xml_node& node, const char* name, float* out, int count, float lo, float hi) {
    pugi::xml_attribute a = node.attribute(name);
    if (!a)
        return {};
    float values[3] = {};
    if (!ParseFloats(a.value(), values, count))
        return std::string("bad value \"") + a.value() + "\" for " + name;
    for (int i = 0; i < count; ++i)
        if (!(values[i] >= lo && values[i] <= hi))
            return std::string("value \"") + a.value() + "\" for " + name + " out of range";
    std::copy(values, values + count, out);
    return {};
}

std::string ReadColor(const pugi::xml_node& node, const char* name, Color& color) {
    float c[3] = {color.red(), color.green(), color.blue()};
    std::string error = ReadValues(node, name, c, 3, 0.0f, 1.0f);
    if (error.empty())
        color = Color(c[0], c[1], c[2]);
    return error;
}

/// Fills an asset from a <Material> element; empty string on success, else what is wrong.
std::string ReadMaterial(const pugi::xml_node& node, AmbraAsset& asset) {
    asset.identifier = node.attribute("id").value();
    if (asset.identifier.empty())
        return "a material has no id";
    asset.name = node.attribute("name").value();
    asset.category = node.attribute("category").value();
    if (!node.attribute("diffuse"))
        return "no diffuse colour";
    std::string error = ReadColor(node, "diffuse", asset.diffuse);
    // Without an ambient colour the material's own colour, dimmed, lights the shadows.
    asset.ambient = Color(asset.diffuse.red() * 0.2f, asset.diffuse.green() * 0.2f, asset.diffuse.blue() * 0.2f);
    if (error.empty())
        error = ReadColor(node, "ambient", asset.ambient);
    if (error.empty())
        error = ReadColor(node, "specular", asset.specular);
    if (error.empty())
        error = ReadColor(node, "emissive", asset.emissive);
    if (error.empty())
        error = ReadValues(node, "shininess", &asset.shininess, 1, 0.0f, 1000.0f);
    if (error.empty())
        error = ReadValues(node, "opacity", &asset.opacity, 1, 0.0f, 1.0f);
    if (error.empty())
        error = ReadValues(node, "reflection", &asset.reflection, 1, 0.0f, 1.0f);
    return error;
}

} // namespace

AmbraManager* AmbraManager::GetAmbraManager(bool load) {
    static AmbraManager manager;
    if (load)
        manager.EnsureLoaded();
    return &manager;
}

fs::path AmbraManager::DefaultLibraryPath() {
    fs::path resources = PathInfo::sceneResourceDirectory();
    return resources.empty() ? resources : resources / "Materials" / "MaterialLibrary.xml";
}

AmbraAsset AmbraManager::BuiltInDefaultFrontFace() {
    // The values of "Paint-015" in the shipped library, so a broken installation still
    // draws bodies in their usual colour.
    AmbraAsset a;
    a.identifier = kDefaultFrontFaceId;
    a.name = "Paint - Enamel Glossy (Grey)";
    a.category = "Paint";
    a.diffuse = Color(0.62f, 0.64f, 0.66f);
    a.ambient = Color(0.124f, 0.128f, 0.132f);
    a.specular = Color(0.5f, 0.5f, 0.5f);
    a.shininess = 64.0f;
    a.reflection = 0.08f;
    return a;
}

void AmbraManager::EnsureLoaded() {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!m_loaded)
        Load(DefaultLibraryPath());
}

Status AmbraManager::LoadLibrary(const fs::path& file) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return Load(file);
}

Status AmbraManager::Load(const fs::path& file) {
    m_loaded = true; // one attempt per release: a missing file is not read again every frame
    m_materials.clear();
    m_libraryId = 0;
    m_defaultFrontFace.clear();

    auto fail = [&](int code, std::wstring message) {
        m_status = Status::error(code, std::move(message) + L"; using the built-in default material");
        m_materials.clear();
        LogMessage(m_status);
        return m_status;
    };

    std::error_code ec;
    if (file.empty() || !fs::is_regular_file(file, ec))
        return fail(1, L"file not found: \"" + Wide(file) + L"\"");

    pugi::xml_document doc;
    pugi::xml_parse_result parsed = doc.load_file(file.c_str());
    if (!parsed)
        return fail(2, L"\"" + Wide(file) + L"\" is malformed: " + Wide(std::string(parsed.description())) +
                           L" at offset " + std::to_wstring(parsed.offset));
    pugi::xml_node root = doc.child("MaterialLibrary");
    if (!root)
        return fail(3, L"\"" + Wide(file) + L"\" has no <MaterialLibrary> root element");

    int id = root.attribute("id").as_int(1);
    std::wstring problems;
    for (pugi::xml_node node : root.children("Material")) {
        AmbraAsset asset;
        std::string error = ReadMaterial(node, asset);
        if (error.empty() && m_materials.count(asset.identifier))
            error = "duplicate id";
        if (!error.empty()) {
            problems += L"\n  material \"" + Wide(asset.identifier) + L"\" skipped: " + Wide(error);
            continue;
        }
        m_materials.emplace(asset.identifier, asset);
    }
    if (m_materials.empty())
        return fail(4, L"\"" + Wide(file) + L"\" holds no usable material" + problems);

    m_libraryId = id > 0 ? id : 1;
    m_defaultFrontFace = root.attribute("defaultFrontFace").as_string(kDefaultFrontFaceId);
    if (!m_materials.count(m_defaultFrontFace))
        problems += L"\n  default front face \"" + Wide(m_defaultFrontFace) + L"\" is not in the library";

    if (problems.empty()) {
        m_status = Status::success();
    } else {
        m_status = Status::warning(5, L"\"" + Wide(file) + L"\":" + problems);
        LogMessage(m_status);
    }
    return m_status;
}

void AmbraManager::ReleaseLib() {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_loaded = false;
    m_materials.clear();
    m_libraryId = 0;
    m_defaultFrontFace.clear();
    m_status = Status();
}

bool AmbraManager::IsLoaded() {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_loaded;
}

Status AmbraManager::LibraryStatus() {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_status;
}

int AmbraManager::VisualLibraryId() {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    EnsureLoaded();
    return m_libraryId;
}

void AmbraManager::ApplyColor(AmbraAsset& asset, const Color& color) {
    // The colour replaces the diffuse one; the ambient keeps its share of the diffuse.
    auto share = [](float ambient, float diffuse) { return diffuse > 0.0f ? std::min(ambient / diffuse, 1.0f) : 0.2f; };
    float k =
        std::max({share(asset.ambient.red(), asset.diffuse.red()), share(asset.ambient.green(), asset.diffuse.green()),
                  share(asset.ambient.blue(), asset.diffuse.blue())});
    asset.diffuse = Color(color.red(), color.green(), color.blue());
    asset.ambient = Color(color.red() * k, color.green() * k, color.blue() * k);
    asset.opacity *= std::clamp(color.alpha(), 0.0f, 1.0f);
    asset.customizedColor = true;
}

std::optional<AmbraAsset> AmbraManager::GetAssetInstance(int libraryId, const std::string& identifier,
                                                         bool useCustomizedColor, const Color& color, float rotation,
                                                         float scale) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    EnsureLoaded();
    if (libraryId == 0 || libraryId != m_libraryId)
        return std::nullopt;
    auto it = m_materials.find(identifier);
    if (it == m_materials.end())
        return std::nullopt;
    AmbraAsset asset = it->second;
    if (useCustomizedColor)
        ApplyColor(asset, color);
    asset.rotation = rotation;
    asset.scale = scale;
    return asset;
}

AmbraAsset AmbraManager::DefaultFrontFace(bool useCustomizedColor, const Color& color) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    EnsureLoaded();
    auto it = m_materials.find(m_defaultFrontFace);
    AmbraAsset asset = it != m_materials.end() ? it->second : BuiltInDefaultFrontFace();
    if (useCustomizedColor)
        ApplyColor(asset, color);
    return asset;
}

std::string AmbraManager::DefaultFrontFaceId() {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    EnsureLoaded();
    return m_defaultFrontFace.empty() ? kDefaultFrontFaceId : m_defaultFrontFace;
}

std::vector<std::string> AmbraManager::Identifiers() {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    EnsureLoaded();
    std::vector<std::string> ids;
    for (const auto& [id, asset] : m_materials)
        ids.push_back(id);
    return ids;
}

} // namespace Brio
