// String tables ("<locale>/<area>.xml") through StringTable::getLocalizedString.
#include "FuzzSupport.h"

#include <Brio/Base/StringTable.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Fuzz::WriteInput("Strings/de-DE/BrioScene.xml", data, size);
    Brio::StringTable::directory(Fuzz::ScratchDirectory() / "Strings");
    Brio::StringTable::locale(L"de-DE"); // also drops what the last input loaded
    const std::wstring text =
        Brio::StringTable::getLocalizedString(L"BrioScene", L"GraphicsOptionsUserName", L"Graphics");
    Fuzz::Check(!text.empty() || size > 0, "no file gives the English default");
    Brio::StringTable::getLocalizedString(L"BrioScene", L"MSAAUserName", L"Use anti aliasing");
    return 0;
}
