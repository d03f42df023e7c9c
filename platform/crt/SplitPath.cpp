#include "crt/Crt.h"

#include <cerrno>
#include <cstring>
#include <string_view>

namespace {

struct Output {
    char* buffer;
    std::size_t size;
};

void ClearAll(const Output (&outputs)[4]) {
    for (const Output& out : outputs)
        if (out.buffer && out.size > 0) out.buffer[0] = '\0';
}

} // namespace

int _splitpath_s(const char* path, char* drive, std::size_t driveSize, char* dir,
                 std::size_t dirSize, char* fname, std::size_t fnameSize, char* ext,
                 std::size_t extSize) {
    const Output outputs[4] = {
        {drive, driveSize}, {dir, dirSize}, {fname, fnameSize}, {ext, extSize}};
    bool usable = path != nullptr;
    for (const Output& out : outputs)
        if ((out.buffer == nullptr) != (out.size == 0)) usable = false;
    if (!usable) {
        ClearAll(outputs);
        return EINVAL;
    }

    const std::string_view whole(path);
    const std::size_t slash = whole.rfind('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::string_view name = whole.substr(nameStart);
    const std::size_t dot = name.rfind('.');
    const std::string_view parts[4] = {
        std::string_view(""), whole.substr(0, nameStart), name.substr(0, dot),
        dot == std::string_view::npos ? std::string_view("") : name.substr(dot)};

    for (int i = 0; i < 4; ++i) {
        if (outputs[i].buffer && parts[i].size() >= outputs[i].size) {
            ClearAll(outputs);
            return ERANGE;
        }
    }
    for (int i = 0; i < 4; ++i) {
        if (!outputs[i].buffer) continue;
        std::memcpy(outputs[i].buffer, parts[i].data(), parts[i].size());
        outputs[i].buffer[parts[i].size()] = '\0';
    }
    return 0;
}

void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext) {
    const auto size = [](const char* out, std::size_t max) { return out ? max : 0; };
    _splitpath_s(path, drive, size(drive, _MAX_DRIVE), dir, size(dir, _MAX_DIR), fname,
                 size(fname, _MAX_FNAME), ext, size(ext, _MAX_EXT));
}
