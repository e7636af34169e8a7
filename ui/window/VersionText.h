#pragma once

// The version as the window shows it, naming the platform this binary was built for.
namespace oxn3
{
#if defined(__APPLE__)
#define OXN3_BUILD_PLATFORM "MAC"
#elif defined(_WIN32)
#define OXN3_BUILD_PLATFORM "Windows"
#else
#define OXN3_BUILD_PLATFORM "Linux"
#endif
constexpr const char* kVersionBanner = "OXN3 3.2.0 Build8 " OXN3_BUILD_PLATFORM " 64-bit ";
constexpr const char* kAboutVersionLine = "Version: 3.2.0 Build8 " OXN3_BUILD_PLATFORM " 64-bit ";
} // namespace oxn3
