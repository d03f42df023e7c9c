// save_bench: the time of one save on a work log, through the same profile functions the
// program uses. Works on a copy of LOG in a scratch folder and prints one JSON line.
//
//   save_bench LOG DAY ITERATIONS
//
// "update": one WritePrivateProfileStringA of [WorkTime] DAY, the once-a-minute save of a
//           day already listed (DAY should be in LOG);
// "save":   what one save of the program does for a listed day: read [WorkTime] DAY back,
//           then write it;
// "new_day": the first save of a day not yet listed (a key "DAY-new" is used): read, write
//           the total, read [Days] Count, write Count and DayN; the copy is restored between
//           iterations, outside the timed part.
#include "winapi/WinApi.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

struct Stats {
    double median = 0, p10 = 0, p90 = 0, min = 0, max = 0;
};

Stats Summarise(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    auto at = [&](double q) { return v[static_cast<std::size_t>(q * (v.size() - 1) + 0.5)]; };
    return {at(0.5), at(0.1), at(0.9), v.front(), v.back()};
}

void Print(const char* name, const Stats& s, bool last) {
    std::printf("\"%s\": {\"median_ms\": %.4f, \"p10_ms\": %.4f, \"p90_ms\": %.4f, "
                "\"min_ms\": %.4f, \"max_ms\": %.4f}%s",
                name, s.median, s.p10, s.p90, s.min, s.max, last ? "" : ", ");
}

double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

bool Read(const std::string& file, const char* section, const std::string& key) {
    char buf[256];
    GetPrivateProfileStringA(section, key.c_str(), "\x01", buf, sizeof buf, file.c_str());
    return buf[0] != '\x01';
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: save_bench LOG DAY ITERATIONS\n");
        return 2;
    }
    const fs::path source = argv[1];
    const std::string day = argv[2];
    const int n = std::max(1, std::atoi(argv[3]));
    char templ[] = "/tmp/riduduz-save-XXXXXX";
    if (!mkdtemp(templ)) return 1;
    const fs::path dir = templ;
    const std::string file = (dir / "riduduz.ini").string();
    fs::copy_file(source, file, fs::copy_options::overwrite_existing);

    std::vector<double> update, save, newDay;
    for (int i = 0; i < n; ++i) {
        const std::string value = std::to_string(3600 + i);
        auto t0 = Clock::now();
        if (!WritePrivateProfileStringA("WorkTime", day.c_str(), value.c_str(), file.c_str()))
            return 1;
        auto t1 = Clock::now();
        update.push_back(Ms(t0, t1));
    }
    for (int i = 0; i < n; ++i) {
        const std::string value = std::to_string(7200 + i);
        auto t0 = Clock::now();
        Read(file, "WorkTime", day);
        if (!WritePrivateProfileStringA("WorkTime", day.c_str(), value.c_str(), file.c_str()))
            return 1;
        auto t1 = Clock::now();
        save.push_back(Ms(t0, t1));
    }
    const std::string fresh = day + "-new";
    for (int i = 0; i < n; ++i) {
        fs::copy_file(source, file, fs::copy_options::overwrite_existing);
        auto t0 = Clock::now();
        Read(file, "WorkTime", fresh);
        WritePrivateProfileStringA("WorkTime", fresh.c_str(), "60", file.c_str());
        const UINT count = GetPrivateProfileIntA("Days", "Count", 0, file.c_str());
        WritePrivateProfileStringA("Days", "Count", std::to_string(count + 1).c_str(),
                                   file.c_str());
        WritePrivateProfileStringA("Days", ("Day" + std::to_string(count)).c_str(), fresh.c_str(),
                                   file.c_str());
        auto t1 = Clock::now();
        newDay.push_back(Ms(t0, t1));
    }
    std::printf("{\"iterations\": %d, \"bytes\": %ju, ", n,
                static_cast<std::uintmax_t>(fs::file_size(source)));
    Print("update", Summarise(update), false);
    Print("save", Summarise(save), false);
    Print("new_day", Summarise(newDay), true);
    std::printf("}\n");
    fs::remove_all(dir);
    return 0;
}
