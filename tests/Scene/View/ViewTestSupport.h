#pragma once
// Helpers shared by the view and document-adapter tests: options at their defaults (graphics
// and persistence), no packet left waiting between tests, and groups with something in them.
#include "OptionsTestSupport.h"

#include <Brio/Base/PersistenceOptionGroup.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Graphics/StandardObjectManager.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Change/ObjectManager.h>
#include <Scene/Change/ServerToClientObjectManager.h>

namespace SceneTest {

class ViewTest : public GraphicsOptionsTest {
protected:
    void SetUp() override {
        GraphicsOptionsTest::SetUp();
        Brio::PersistenceOptionGroup::get()->resetToDefaults();
        clearPackets();
    }
    void TearDown() override {
        clearPackets();
        Brio::PersistenceOptionGroup::get()->resetToDefaults();
        GraphicsOptionsTest::TearDown();
    }
    static void clearPackets() {
        Brio::Scene::ObjectManager::get()->changeManager()->Clear();
        Brio::Scene::ObjectManager::get()->revalidateManager()->Clear();
        Brio::Scene::ServerToClientObjectManager::get()->clearCreatePackets();
    }
    static void sync() { Brio::Scene::ObjectManager::get()->syncChanges(); }
};

/// A group with one (empty) child group, so that passes drawing it are not skipped as empty.
inline Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode> FilledGroup() {
    Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode> group = Lumo::Graphics::GroupNode::Make();
    group->AddChild(Lumo::Graphics::GroupNode::Make());
    return group;
}

} // namespace SceneTest
