// The version the console program reports.
#pragma once

namespace vistrel {

inline constexpr unsigned version_major = 1;
inline constexpr unsigned version_minor = 2;

}  // namespace vistrel
