#pragma once

#include <string>
#include <string_view>

/// Conversions between UTF-8 (files, the C library) and wide strings (UTF-32 on this platform).
/// Invalid input never throws: each maximal ill-formed subsequence becomes U+FFFD.
namespace Brio::Utility {

std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view wide);

} // namespace Brio::Utility
