#pragma once

// The platform this binary was built for, as the version texts name it.
namespace oxn3
{
#if defined(__APPLE__)
constexpr const char* kBuildPlatform = "MAC";
#elif defined(_WIN32)
constexpr const char* kBuildPlatform = "Windows";
#else
constexpr const char* kBuildPlatform = "Linux";
#endif
} // namespace oxn3
