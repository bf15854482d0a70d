#pragma once

#include <string>

namespace Brio {

/// Outcome of a host operation: a severity, an application-defined code and a message.
class Status {
public:
    enum ESeverity { eSuccess = 0, eWarning = 1, eError = 2 };

    /// Success, code 0, no message.
    Status() = default;
    Status(ESeverity severity, int code, std::wstring message);

    static Status success();
    static Status warning(int code, std::wstring message);
    static Status error(int code, std::wstring message);

    bool isSuccess() const { return m_severity == eSuccess; }
    bool isWarning() const { return m_severity == eWarning; }
    bool isError() const { return m_severity == eError; }
    /// Only errors count as failure; a warning still produced its result.
    bool failed() const { return m_severity == eError; }

    ESeverity severity() const { return m_severity; }
    int code() const { return m_code; }
    const std::wstring& message() const { return m_message; }

    bool operator==(const Status&) const = default;

private:
    ESeverity m_severity = eSuccess;
    int m_code = 0;
    std::wstring m_message;
};

} // namespace Brio
