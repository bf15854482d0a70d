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
    std::vector<std::uint8_t> rgba;
    int width = 0, height = 0;
    if (!m_engine->readPixels(rgba, width, height))
        return {};
    return Brio::MemoryImageResource::make(width, height, Brio::MemoryImageResource::eRGBA8, width * 4,
                                           std::move(rgba));
}

bool ViewRendererForImage::writeImage(const std::wstring& path) {
    return m_engine->writePng(Brio::Utility::toUtf8(path));
}

} // namespace Brio::Scene
