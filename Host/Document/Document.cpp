#include <Host/Document/Document.h>
#include <Host/Document/ModelCodec.h>
#include <Host/Model/Component.h>
#include <Host/Model/Model.h>

#include <Brio/Base/StringConversion.h>
#include <Brio/DataModel/Asset.h>
#include <Brio/DataModel/Segment.h>
#include <Scene/Environment/Camera.h>
#include <Scene/Persistence/SceneAssetAdapter.h>

#include <filesystem>

namespace Host {

namespace {
const wchar_t* const kViews = L"Views";
const wchar_t* const kCameraRoot = L"Camera";
} // namespace

Document::Document(const std::string& name)
    : m_asset(Brio::Asset::make(Brio::Utility::toWide(name))), m_model(std::make_unique<Model>(name)) {
    auto adapter = std::make_unique<Brio::Scene::SceneAssetAdapter>(m_asset.getTarget());
    m_adapter = adapter.get();
    m_asset->addAdapter(std::move(adapter));
}

Document::~Document() {
    // The scene leaves the adapter before the model's nodes go.
    if (m_adapter)
        m_adapter->scene(nullptr);
    m_model.reset();
}

Brio::Asset& Document::asset() const {
    return *m_asset;
}

bool Document::hasCamera() const {
    Brio::Segment* views = m_asset->segment(std::wstring(kViews));
    return views && views->root(kCameraRoot);
}

Brio::Scene::Camera& Document::camera() {
    Brio::Segment* views = m_asset->segment(std::wstring(kViews));
    if (!views)
        views = m_asset->createSegment(kViews);
    if (auto* camera = dynamic_cast<Brio::Scene::Camera*>(views->root(kCameraRoot)))
        return *camera;
    Brio::StrongRef<Brio::Scene::Camera> camera = Brio::Scene::Camera::make(views);
    views->addRoot(kCameraRoot, camera.getTarget());
    return *camera;
}

void Document::showModel() {
    m_adapter->scene(m_model->scene());
}

bool Document::save(const std::string& path, std::string& error) {
    m_asset->name(Brio::Utility::toWide(m_model->name()));
    m_asset->putPart(Brio::Asset::EPartFolder::eBlobs, ModelCodec::kPartName, ModelCodec::write(*m_model));
    const Brio::Status status = m_asset->save(path);
    if (status.isSuccess())
        return true;
    error = "cannot save '" + path + "': " + Brio::Utility::toUtf8(status.message());
    return false;
}

std::unique_ptr<Document> Document::open(const std::string& path, std::string& error) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        error = "cannot open '" + path + "': no such file";
        return nullptr;
    }
    auto doc = std::make_unique<Document>();
    const Brio::Status status = doc->m_asset->load(path);
    if (!status.isSuccess()) {
        error = "cannot open '" + path + "': " + Brio::Utility::toUtf8(status.message());
        return nullptr;
    }
    const std::vector<std::uint8_t>* part = doc->m_asset->part(Brio::Asset::EPartFolder::eBlobs, ModelCodec::kPartName);
    if (!part) {
        error = "cannot open '" + path + "': the document holds no model";
        return nullptr;
    }
    auto model = std::make_unique<Model>();
    std::string why;
    if (!ModelCodec::read(*part, *model, why)) {
        error = "cannot open '" + path + "': " + why;
        return nullptr;
    }
    doc->m_model = std::move(model);
    return doc;
}

} // namespace Host
