// The program's version, as an ELF note any tool can read:
//   readelf --string-dump=.note.riduduz.version riduduz
#include <cstdint>

namespace {

constexpr char kDescription[] = "FileVersion=1.0.0.1010\0ProductVersion=1.0.0.1010\0"
                                "ProductName=Riduduz";

struct VersionNote {
    std::uint32_t nameSize = 8;
    std::uint32_t descriptionSize = sizeof kDescription;
    std::uint32_t type = 1;
    char name[8] = "Riduduz";
    char description[(sizeof kDescription + 3) / 4 * 4] = {};
};

constexpr VersionNote MakeNote() {
    VersionNote note;
    for (unsigned i = 0; i < sizeof kDescription; ++i)
        note.description[i] = kDescription[i];
    return note;
}

[[gnu::used, gnu::section(".note.riduduz.version"), gnu::aligned(4)]] const VersionNote kVersion =
    MakeNote();

} // namespace
