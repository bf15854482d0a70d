#include <Scene/Attributes/ThreadAttribute.h>

#include <Brio/Base/PathInfo.h>
#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/AVirtualDevice.h>
#include <Lumo/Devices/DeviceCaches.h>
#include <Lumo/Devices/SolidEffectInstance.h>
#include <Lumo/Devices/TextureCache.h>

namespace Lumo::Scene {

LUMO_DEFINE_CLASS(ThreadAttribute, Attribute)

ThreadAttribute* ThreadAttribute::Make(const ThreadDataVector& threads, bool winTies, unsigned char priority) {
    return new ThreadAttribute(threads, winTies, priority);
}

ThreadAttribute::~ThreadAttribute() = default;

const ThreadAttribute::EffectInstanceList& ThreadAttribute::GetThreadEIList(Lumo::Devices::ADrawContext& dc) {
    Lumo::Objects::Threads::MutexLocker lock(m_lock);
    if (!m_instances.IsEmpty() || m_threads.empty())
        return m_instances;
    Lumo::Devices::AVirtualDevice* device = dc.VirtualDevice();
    Lumo::Devices::TextureInstance* texture = nullptr;
    if (device) {
        std::filesystem::path file = Brio::PathInfo::sceneResourceDirectory() / "Textures" / "thread1.bmp";
        texture = device->Caches()->Textures()->Acquire(Lumo::Objects::Intern(file.wstring()));
    }
    for (const ThreadData& t : m_threads) {
        Lumo::Objects::AutoPtr<Lumo::Devices::SolidEffectInstance> e =
            Lumo::Devices::SolidEffectInstance::Make(device, true);
        if (!e)
            break;
        e->Texture(texture);
        e->TextureAlpha(true);
        e->BlendMode(0);
        // One texture repeat per pitch along the axis, vScale repeats round the circumference.
        const float circumference = 0.5f * t.diameter * 6.28318f;
        Lumo::Objects::mat4<float> m;
        m[0][0] = t.pitch > 0 ? t.uScale / t.pitch : t.uScale;
        m[1][1] = circumference > 0 ? t.vScale / circumference : t.vScale;
        e->TextureTransform(m);
        m_instances.Add(e);
    }
    return m_instances;
}

} // namespace Lumo::Scene
