// The profile writer: a start text and a sequence of writes and deletions decoded from the
// input. Each result must be byte for byte what the rules give (so every line no write
// touched survives), a value written reads back, a deleted key reads as missing, and no
// other name changes what it reads.
//
// Input: fields separated by NUL bytes. The first is the start text; then groups of four:
// an operation byte, section, key, value. Operation bits 0-1: 0/1 set, 2 delete key,
// 3 delete section; bit 4: take section and key from the names the text already holds
// (the key field's first byte picks which).
#include "../reliability/IniModel.h"
#include "FuzzCheck.h"
#include "winapi/IniText.h"

#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<std::string_view> Fields(std::string_view in) {
    std::vector<std::string_view> out;
    for (;;) {
        const std::size_t nul = in.find('\0');
        out.push_back(in.substr(0, nul));
        if (nul == in.npos) return out;
        in.remove_prefix(nul + 1);
    }
}

// Every name but (section, key) reads as before.
void OthersUnchanged(const std::string& before, const std::string& after, std::string_view section,
                     std::string_view key, bool wholeSection) {
    int budget = 12; // names checked per write: the model re-reads the text for each
    for (const auto& [s, k] : inimodel::Names(before)) {
        if (--budget < 0) break;
        if (inimodel::SameName(s, inimodel::Trim(section)) &&
            (wholeSection || inimodel::SameName(k, inimodel::Trim(key))))
            continue;
        FUZZ_CHECK(winapi::ini::FindValue(after, s, k) == winapi::ini::FindValue(before, s, k));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto fields = Fields({reinterpret_cast<const char*>(data), size});
    std::string text(fields[0]);
    for (std::size_t i = 1; i + 2 < fields.size(); i += 4) {
        const unsigned op = fields[i].empty() ? 0 : static_cast<unsigned char>(fields[i][0]);
        std::string section(fields[i + 1]);
        std::string key(fields[i + 2]);
        const std::string_view value = i + 3 < fields.size() ? fields[i + 3] : "";
        if (op & 0x10) {
            const auto names = inimodel::Names(text);
            if (!names.empty()) {
                auto it = names.begin();
                std::advance(it,
                             (key.empty() ? 0 : static_cast<unsigned char>(key[0])) % names.size());
                section = it->first;
                key = it->second;
            }
        }
        std::string next;
        switch (op & 3) {
        case 0:
        case 1: {
            const auto got = winapi::ini::SetValue(text, section, key, value);
            FUZZ_CHECK(got == inimodel::ExpectedSet(text, section, key, value));
            if (!got) continue;
            FUZZ_CHECK(winapi::ini::FindValue(*got, section, key) == inimodel::ReadsBackAs(value));
            next = *got;
            OthersUnchanged(text, next, section, key, false);
            break;
        }
        case 2:
            next = winapi::ini::DeleteKey(text, section, key);
            FUZZ_CHECK(next == inimodel::ExpectedDeleteKey(text, section, key));
            FUZZ_CHECK(!winapi::ini::FindValue(next, section, key));
            OthersUnchanged(text, next, section, key, false);
            break;
        default:
            next = winapi::ini::DeleteSection(text, section);
            FUZZ_CHECK(next == inimodel::ExpectedDeleteSection(text, section));
            FUZZ_CHECK(!winapi::ini::FindValue(next, section, key));
            OthersUnchanged(text, next, section, key, true);
            break;
        }
        text = std::move(next);
    }
    return 0;
}
