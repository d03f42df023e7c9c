// The form-description parser over arbitrary bytes: it returns a tree or raises ParseError
// naming the source and a line of the text; nothing else escapes, nothing crashes.
#include "FuzzCheck.h"
#include "vcl/dfm/Dfm.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

int g_lines = 1;

void CheckLine(int line) {
    FUZZ_CHECK(line >= 1 && line <= g_lines);
}

void CheckValue(const vcl::dfm::Value& v, int depth);

void CheckProperties(const std::vector<vcl::dfm::Property>& properties, int depth) {
    for (const auto& p : properties) {
        FUZZ_CHECK(!p.name.empty());
        CheckLine(p.line);
        CheckValue(p.value, depth);
    }
}

void CheckValue(const vcl::dfm::Value& v, int depth) {
    FUZZ_CHECK(depth <= vcl::dfm::kMaxNesting + 1);
    CheckLine(v.line);
    for (const auto& item : v.list)
        CheckValue(item, depth + 1);
    for (const auto& item : v.items)
        CheckProperties(item, depth + 1);
}

void CheckObject(const vcl::dfm::Object& o, int depth) {
    FUZZ_CHECK(depth <= vcl::dfm::kMaxNesting + 1);
    CheckLine(o.line);
    CheckProperties(o.properties, depth);
    for (const auto& child : o.children)
        CheckObject(child, depth + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // Lines as any of LF, CRLF or CR end them, plus one for an unterminated last line.
    g_lines = 1;
    for (std::size_t i = 0; i < size; ++i)
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == size || text[i + 1] != '\n')))
            ++g_lines;
    try {
        CheckObject(vcl::dfm::Parse(text, "fuzz.dfm"), 1);
    } catch (const vcl::dfm::ParseError& e) {
        const std::string what = e.what();
        FUZZ_CHECK(what.starts_with("fuzz.dfm(" + std::to_string(e.line()) + "): "));
        CheckLine(e.line());
    }
    return 0;
}
