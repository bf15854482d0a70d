#include <Brio/Base/Status.h>

#include <utility>

namespace Brio {

Status::Status(ESeverity severity, int code, std::wstring message)
    : m_severity(severity), m_code(code), m_message(std::move(message)) {}

Status Status::success() {
    return Status();
}

Status Status::warning(int code, std::wstring message) {
    return Status(eWarning, code, std::move(message));
}

Status Status::error(int code, std::wstring message) {
    return Status(eError, code, std::move(message));
}

} // namespace Brio
