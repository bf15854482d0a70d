#pragma once
#include <string>
#include <string_view>

/// Numbers as text, independent of the C locale, for files that other processes and other
/// locales read back (options, XML, JSON). Floating-point numbers are written in the
/// shortest form that reads back to the same value.
namespace Brio::Utility {

std::string formatNumber(long long value);
std::string formatNumber(unsigned long long value);
std::string formatNumber(double value);
/// Shortest form for single precision: 0.1f is written "0.1", not "0.100000001".
std::string formatNumber(float value);

/// Reads the whole text (surrounding white space allowed, a leading '+' allowed) as one
/// number. Integers are decimal or hexadecimal with "0x". False, with value untouched, when
/// the text is empty, has anything else in it, or the number does not fit.
bool parseNumber(std::string_view text, long long& value);
bool parseNumber(std::string_view text, int& value);
bool parseNumber(std::string_view text, unsigned long long& value);
bool parseNumber(std::string_view text, double& value);
bool parseNumber(std::string_view text, float& value);

} // namespace Brio::Utility
