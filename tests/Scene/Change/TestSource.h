#pragma once
// A node source written for tests: it records what it was asked and builds what it is told.
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Change/NodeChange.h>
#include <Scene/Model/INodeSource.h>
#include <Scene/Nodes/LODGeometryNode.h>

#include <functional>
#include <string>
#include <vector>

namespace SourceTest {

using Lumo::Objects::AutoPtr;

class RecordingSource : public Brio::Scene::INodeSource {
public:
    enum Kind { eGroup, eGeometry, eLOD };
    explicit RecordingSource(Kind kind = eGroup) : kind(kind) {}
    ~RecordingSource() override = default;

    Kind kind;
    std::vector<std::string> calls;
    std::vector<std::uint32_t> extraTypes;
    AutoPtr<Lumo::Graphics::ARenderNode> node;
    Lumo::Graphics::GroupNode* parent = nullptr;
    Lumo::Objects::SBox3 box;
    /// Run in realizeGeometry(change, lod) / realizeAppearance when set.
    std::function<void(Brio::Scene::NodeChange&, int)> onGeometry;
    std::function<void(Brio::Scene::NodeChange&)> onAppearance;

    Lumo::Graphics::ARenderNode* sceneNode() const override { return node; }
    Lumo::Graphics::GroupNode* parentGroupNode() const override { return parent; }
    Lumo::Graphics::GroupNode* groupNode() const override {
        return kind == eGroup && node ? static_cast<Lumo::Graphics::GroupNode*>(node.get()) : nullptr;
    }
    Lumo::Objects::SBox3 realizeModelBox(Brio::Scene::NodeChange& change) override {
        calls.push_back("box");
        change.modelBox(box);
        return box;
    }
    void realizeGeometry(Brio::Scene::NodeChange& change, int lod) override {
        calls.push_back("geometry" + std::to_string(lod));
        if (onGeometry)
            onGeometry(change, lod);
    }
    using INodeSource::getChangeTypesThatAffectScene;
    using INodeSource::onPostChangeScene;
    using INodeSource::revalidate;

protected:
    void sceneNode(Lumo::Graphics::ARenderNode* n) override { node = n; }
    void onCreateScene(Brio::Scene::NodeChange& change) override {
        calls.push_back("create");
        switch (kind) {
        case eGroup:
            sceneNode(change.createGroupNode(this, Lumo::Graphics::eRenderListWorld));
            break;
        case eGeometry:
            sceneNode(change.createGeometryNode(this));
            break;
        case eLOD:
            sceneNode(change.createLODGeometryNode(this));
            break;
        }
        INodeSource::onCreateScene(change);
    }
    void realizeGeometry(Brio::Scene::NodeChange& change) override {
        calls.push_back("geometry");
        INodeSource::realizeGeometry(change);
    }
    void realizeTransform(Brio::Scene::NodeChange&) override { calls.push_back("transform"); }
    void realizeAppearance(Brio::Scene::NodeChange& change) override {
        calls.push_back("appearance");
        if (onAppearance)
            onAppearance(change);
    }
    void realizeChildNodes(Brio::Scene::NodeChange&) override { calls.push_back("children"); }
    void realizeExtra(Brio::Scene::NodeChange&, Brio::DataChange::EChangeType& types) override {
        calls.push_back("extra");
        extraTypes.push_back(types);
    }
};

} // namespace SourceTest
