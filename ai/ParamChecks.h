// The checks and number texts of request parameters: lengths, ranges, reals in the "C" locale.
#pragma once

#include <cstdint>
#include <string>

namespace vst::ai {

/// The longest text a text field takes.
inline constexpr int kMaxPromptLength = 10000;
/// The largest seed the service takes.
inline constexpr std::int64_t kMaxSeed = 4294967294;

/// Throws "%s too long max %d : (%d)" when `value` has more than 10000 characters (UTF-16 units,
/// as the service counts).
void checkTextLength(const std::string& field, const std::string& value);
/// Throws "%s must be in [%d..%d] : %d" when `value` is outside [lo, hi].
void checkIntRange(const std::string& field, std::int64_t value, std::int64_t lo, std::int64_t hi);
/// Throws "%s must be in [%s..%s] : %s" (bounds in the general form, the value as "0.00") when
/// `value` is outside [lo, hi] or not a number.
void checkRealRange(const std::string& field, double value, double lo, double hi);

/// The shortest general text of a real, with "." whatever the user's locale.
std::string realText(double value);
/// A real with two decimals and ".".
std::string realTextFixed2(double value);

} // namespace vst::ai
