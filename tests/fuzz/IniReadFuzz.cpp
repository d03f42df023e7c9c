// The profile reader over arbitrary bytes: every name the text holds, spelled as written,
// in the other case and padded with blanks, reads what the model of the rules says, and
// ParseInt agrees with a plain decimal conversion wherever that can be exact.
#include "../reliability/IniModel.h"
#include "FuzzCheck.h"
#include "winapi/IniText.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

std::string OtherCase(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    }
    return s;
}

void CheckParseInt(std::string_view v) {
    const std::uint32_t got = winapi::ini::ParseInt(v);
    std::size_t i = !v.empty() && (v[0] == '-' || v[0] == '+') ? 1 : 0;
    const std::size_t first = i;
    while (i < v.size() && v[i] >= '0' && v[i] <= '9')
        ++i;
    if (i == first) {
        FUZZ_CHECK(got == 0);
        return;
    }
    if (i - first > 18) return; // beyond what a 64-bit conversion holds exactly
    const std::uint64_t n = std::stoull(std::string(v.substr(first, i - first)));
    const std::uint32_t want = static_cast<std::uint32_t>(v[0] == '-' ? 0 - n : n);
    FUZZ_CHECK(got == want);
}

void Query(std::string_view text, const std::string& section, const std::string& key) {
    const auto got = winapi::ini::FindValue(text, section, key);
    FUZZ_CHECK(got == inimodel::Lookup(text, section, key));
    if (got) CheckParseInt(*got);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckParseInt(text);
    int budget = 16; // names checked per input: the model re-reads the text for each
    for (const auto& [section, key] : inimodel::Names(text)) {
        if (--budget < 0) break;
        Query(text, section, key);
        Query(text, OtherCase(section), OtherCase(key));
        Query(text, " \t" + section + "\f", "\v" + key + " ");
        Query(text, section, key + "x");
    }
    Query(text, "", "");
    Query(text, "s", "k");
    return 0;
}
