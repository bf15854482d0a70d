#include <Scene/View/ViewRenderer.h>

#include <Scene/View/SceneRenderSettings.h>

#include <Brio/Base/MemoryImageResource.h>
#include <Brio/Base/MultiThreadOptionGroup.h>
#include <Brio/Base/MultiThreadedOpScopedLock.h>
#include <Lumo/Graphics/GroupNode.h>

namespace Brio::Scene {

ViewRenderer::ViewRenderer(Lumo::Graphics::GroupNode* viewNode) : m_viewNode(viewNode) {}

ViewRenderer::ViewRenderer(const ViewRenderer& other)
    : m_viewNode(other.m_viewNode), m_interactive(other.m_interactive), m_savingImage(other.m_savingImage) {}

ViewRenderer& ViewRenderer::operator=(const ViewRenderer& other) {
    m_viewNode = other.m_viewNode;
    m_interactive = other.m_interactive;
    m_savingImage = other.m_savingImage;
    return *this;
}

ViewRenderer::~ViewRenderer() = default;

void ViewRenderer::destroy(ViewRenderer* renderer) {
    delete renderer;
}

Lumo::Graphics::GroupNode* ViewRenderer::viewNode() const {
    return m_viewNode.get();
}

bool ViewRenderer::excludeViewFragment(Lumo::Graphics::GroupNode*) const {
    return false;
}

void ViewRenderer::render(EInvalidateType type) {
    if (!SceneRenderSettings::renderingEnabled())
        return;
    const Brio::MultiThreadOptionGroup* mt = Brio::MultiThreadOptionGroup::get();
    if (!mt->multiThreadLumo() && !mt->multiThreadBatchFacet()) {
        onPreRender();
        renderFrame(type);
        onPostRender();
        return;
    }
    Brio::MultiThreadedOpScopedLock lock(0);
    onPreRender();
    renderFrame(type);
    onPostRender();
}

bool ViewRenderer::saveAsImage(const std::wstring& path) {
    m_savingImage = true;
    render(eInvalidateAll);
    m_savingImage = false;
    return writeImage(path);
}

Brio::StrongRef<Brio::MemoryImageResource> ViewRenderer::saveAsImage() {
    m_savingImage = true;
    render(eInvalidateAll);
    m_savingImage = false;
    return readImage();
}

} // namespace Brio::Scene
