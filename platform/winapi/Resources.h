// Resources compiled into the program (the stand-in for a module's resource section).
//
// Files are embedded at build time by riduduz_add_resources() (cmake/RiduduzCommon.cmake);
// each generated file registers itself here before main() runs. Names are matched
// without regard to case, as resource names are.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace winapi {

// The bytes registered under `name`, or nothing when no such resource exists.
std::optional<std::span<const unsigned char>> FindResourceData(std::string_view name);

struct ResourceRegistrar {
    ResourceRegistrar(const char* name, const unsigned char* data, std::size_t size);
};

} // namespace winapi
