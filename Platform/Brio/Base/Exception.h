#pragma once

#include <Brio/Base/Status.h>

#include <exception>
#include <optional>
#include <string>

namespace Brio {

/// Host exception with a wide message; what() gives the same text in UTF-8.
class Exception : public std::exception {
public:
    explicit Exception(std::wstring message);
    /// Carries `status`; the message is the status message.
    explicit Exception(const Status& status);
    Exception(std::wstring message, const Status& status);

    const char* what() const noexcept override;
    const std::wstring& message() const noexcept { return m_message; }
    const std::optional<Status>& status() const noexcept { return m_status; }

private:
    std::wstring m_message;
    std::string m_utf8; // kept so what() can return a pointer that stays valid
    std::optional<Status> m_status;
};

} // namespace Brio
