#include <Brio/Base/TranscriptTrigger.h>

#include <Brio/Base/TranscriptMgr.h>

namespace Brio {

TranscriptTrigger::~TranscriptTrigger() = default;

void TranscriptTrigger::writeTranscriptEntry() const {
    TranscriptMgr::get()->write(textCommandEntry());
}

std::wstring TranscriptTrigger::textCommandEntry() const {
    return {};
}

} // namespace Brio
