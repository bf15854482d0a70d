#include <Scene/Environment/TranscriptCameraTrigger.h>

#include <Brio/Base/TranscriptMgr.h>
#include <Scene/Environment/Camera.h>

#include <charconv>

namespace Brio::Scene {

namespace {
/// Shortest text that reads back to the same double.
std::wstring Number(double v) {
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::wstring(buffer, result.ptr);
}

std::wstring Point3dToString(const ZoGePoint3d& p) {
    return Number(p.x) + L"," + Number(p.y) + L"," + Number(p.z);
}

std::wstring Vector3dToString(const ZoGeVector3d& v) {
    return Number(v.x) + L"," + Number(v.y) + L"," + Number(v.z);
}
} // namespace

TranscriptCameraTrigger::TranscriptCameraTrigger(const Camera* camera) : m_camera(camera) {
    writeTranscriptEntry();
}

std::wstring TranscriptCameraTrigger::textCommandEntry() const {
    if (!m_camera || !Brio::TranscriptMgr::get()->recordCamera())
        return {};
    const Camera& c = *m_camera;
    return L"Camera.Set " + Point3dToString(c.position()) + L" " + Point3dToString(c.target()) + L" " +
           Vector3dToString(c.up()) + L" " + Number(c.clipNear()) + L" " + Number(c.clipFar()) + L" " +
           Number(c.extentsWidth()) + L" " + Number(c.extentsHeight()) + L" " + std::to_wstring(int(c.projection()));
}

} // namespace Brio::Scene
