#include "winapi/Shell.h"

#include "backend/Backend.h"

#include <cstdint>
#include <cstring>

namespace {
HINSTANCE AsResult(std::intptr_t code) {
    return reinterpret_cast<HINSTANCE>(code);
}
} // namespace

HINSTANCE ShellExecuteA(HWND, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, INT) {
    const bool open = !verb || std::strcmp(verb, "open") == 0;
    const bool plain = (!parameters || !*parameters) && (!directory || !*directory);
    if (!file || !*file) return AsResult(2);
    if (!open || !plain) return AsResult(31);
    return AsResult(backend::Current().OpenDocument(file) ? 42 : 31);
}
