#pragma once
#include <Brio/Base/TranscriptTrigger.h>

namespace Brio::Scene {

class Camera;

/// Records a camera's whole state in the transcript as a "Camera.Set" command line, when the
/// transcript records camera changes.
class TranscriptCameraTrigger : public Brio::TranscriptTrigger {
public:
    /// Writes the entry at once.
    explicit TranscriptCameraTrigger(const Camera* camera);

protected:
    /// "Camera.Set position target up clipNear clipFar extentsWidth extentsHeight projection";
    /// points and vectors as x,y,z. Numbers read back to the same doubles.
    std::wstring textCommandEntry() const override;

private:
    const Camera* m_camera;
};

} // namespace Brio::Scene
