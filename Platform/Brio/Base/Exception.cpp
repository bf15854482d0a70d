#include <Brio/Base/Exception.h>

#include <Brio/Base/StringConversion.h>

#include <utility>

namespace Brio {

Exception::Exception(std::wstring message) : m_message(std::move(message)), m_utf8(Utility::toUtf8(m_message)) {}

Exception::Exception(const Status& status) : Exception(status.message(), status) {}

Exception::Exception(std::wstring message, const Status& status)
    : m_message(std::move(message)), m_utf8(Utility::toUtf8(m_message)), m_status(status) {}

const char* Exception::what() const noexcept {
    return m_utf8.c_str();
}

} // namespace Brio
