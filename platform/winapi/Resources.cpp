#include "winapi/Resources.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace winapi {
namespace {

struct Entry {
    std::string name;
    std::span<const unsigned char> data;
};

// A function-local table, so registrars in other translation units can run in any order.
std::vector<Entry>& Table() {
    static std::vector<Entry> table;
    return table;
}

bool SameName(std::string_view a, std::string_view b) {
    return std::ranges::equal(
        a, b, [](unsigned char x, unsigned char y) { return std::toupper(x) == std::toupper(y); });
}

} // namespace

ResourceRegistrar::ResourceRegistrar(const char* name, const unsigned char* data,
                                     std::size_t size) {
    Table().push_back({name, {data, size}});
}

std::optional<std::span<const unsigned char>> FindResourceData(std::string_view name) {
    for (const Entry& e : Table())
        if (SameName(e.name, name)) return e.data;
    return std::nullopt;
}

} // namespace winapi
