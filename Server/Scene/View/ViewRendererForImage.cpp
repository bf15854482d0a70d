#include <Scene/View/ViewRendererForImage.h>

#include <Scene/View/RenderEngine.h>
#include <Scene/View/ViewFragmentNodeData.h>
#include <Scene/View/ViewNodes.h>

#include <Brio/Base/MemoryImageResource.h>
#include <Brio/Base/StringConversion.h>

namespace Brio::Scene {

ViewRendererForImage::ViewRendererForImage(Lumo::Graphics::GroupNode* viewNode)
    : ViewRenderer(viewNode), m_engine(std::make_unique<RenderEngine>(*this, nullptr)) {
    m_engine->initialize();
}

ViewRendererForImage::~ViewRendererForImage() = default;

bool ViewRendererForImage::excludeViewFragment(Lumo::Graphics::GroupNode* fragmentNode) const {
    const ViewFragmentNodeData* data = fragmentNode ? viewFragmentNodeData(fragmentNode) : nullptr;
    return data && data->name() == L"Autocam";
}

void ViewRendererForImage::renderFrame(EInvalidateType type) {
    m_engine->frame(type);
}

Brio::StrongRef<Brio::MemoryImageResource> ViewRendererForImage::readImage() {
    return m_engine->readImage();
}

bool ViewRendererForImage::writeImage(const std::wstring& path) {
    return m_engine->writeImage(path);
}

} // namespace Brio::Scene
