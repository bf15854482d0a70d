#pragma once
#include <Brio/Base/StrongRef.h>

#include <memory>
#include <string>

namespace Brio {
class Asset;
}
namespace Brio::Scene {
class Camera;
class SceneAssetAdapter;
} // namespace Brio::Scene

namespace Host {

class Model;

/// A host document: the model, the scene library's adapter showing it, and the view's camera,
/// saved to and opened from one file (a document archive with the model as one of its parts).
class Document {
public:
    explicit Document(const std::string& name = "Untitled");
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    Model& model() const { return *m_model; }
    Brio::Asset& asset() const;
    Brio::Scene::SceneAssetAdapter& adapter() const { return *m_adapter; }
    /// The camera saved with the document, made (looking at the origin) on first use.
    Brio::Scene::Camera& camera();
    /// True when the document has a camera of its own (it was set or opened with one).
    bool hasCamera() const;

    /// Hands the model's scene to the adapter (made on first call; later edits follow it).
    void showModel();

    /// Writes the document; false with error naming the file and the cause. A failed save
    /// leaves an existing file as it was.
    bool save(const std::string& path, std::string& error);
    /// Opens a document; null with error naming the file and the cause.
    static std::unique_ptr<Document> open(const std::string& path, std::string& error);

private:
    Brio::StrongRef<Brio::Asset> m_asset;
    Brio::Scene::SceneAssetAdapter* m_adapter = nullptr; // owned by the asset
    std::unique_ptr<Model> m_model;
};

} // namespace Host
