#include "winapi/Profile.h"

#include "winapi/IniText.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace winapi {
namespace {

std::function<int(ProfileStep)>& FaultHook() {
    static std::function<int(ProfileStep)> hook;
    return hook;
}

int Fault(ProfileStep step) {
    return FaultHook() ? FaultHook()(step) : 0;
}

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

// The file to work on: the path itself, or a symlink's target. 0 or an errno.
int ResolvePath(const char* file, std::string& out) {
    if (!*file) return ENOENT;
    struct stat st;
    if (::lstat(file, &st) != 0) {
        if (errno != ENOENT) return errno;
        out = file;
        return 0;
    }
    if (S_ISLNK(st.st_mode)) {
        char* real = ::realpath(file, nullptr);
        if (!real) return errno;
        out = real;
        std::free(real);
        if (::stat(out.c_str(), &st) != 0) return errno;
    } else {
        out = file;
    }
    return S_ISDIR(st.st_mode) ? EISDIR : 0;
}

int LockProfile(const std::string& path, bool exclusive, Fd& lock) {
    const std::string name = path + ".lock";
    const int flags = exclusive ? O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW : O_RDONLY | O_CLOEXEC;
    Fd fd(::open(name.c_str(), flags, 0666));
    if (fd.get() < 0) return errno;
    while (::flock(fd.get(), exclusive ? LOCK_EX : LOCK_SH) != 0)
        if (errno != EINTR) return errno;
    lock = std::move(fd);
    return 0;
}

struct Contents {
    bool exists = false;
    mode_t mode = 0;
    std::string text;
};

int ReadProfile(const std::string& path, Contents& out) {
    out = Contents{};
    if (const int err = Fault(ProfileStep::Read)) return err;
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0) return errno == ENOENT ? 0 : errno;
    struct stat st;
    if (::fstat(fd.get(), &st) != 0) return errno;
    if (S_ISDIR(st.st_mode)) return EISDIR;
    if (!S_ISREG(st.st_mode)) return EINVAL;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) break;
        out.text.append(chunk, static_cast<std::size_t>(n));
    }
    out.exists = true;
    out.mode = st.st_mode & 07777;
    return 0;
}

constexpr std::size_t kTempSuffix = 8; // random characters after "<file>.tmp-"

std::string Folder(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

int WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// Removes temporary files a killed writer left behind. Only call with the exclusive lock
// held: every live writer holds it while its temporary file exists, so any seen are stale.
void RemoveStaleTemps(const std::string& path) {
    const std::string folder = Folder(path);
    const std::size_t slash = path.rfind('/');
    const std::string prefix =
        (slash == std::string::npos ? path : path.substr(slash + 1)) + ".tmp-";
    DIR* listing = ::opendir(folder.c_str());
    if (!listing) return;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (name.size() == prefix.size() + kTempSuffix && name.starts_with(prefix))
            ::unlinkat(::dirfd(listing), entry->d_name, 0);
    }
    ::closedir(listing);
}

int CreateTemp(const std::string& path, mode_t mode, std::string& name, Fd& out) {
    if (const int err = Fault(ProfileStep::CreateTemp)) return err;
    static thread_local std::mt19937_64 random(std::random_device{}() ^
                                               static_cast<std::uint64_t>(::getpid()));
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = path + ".tmp-";
        for (std::size_t i = 0; i < kTempSuffix; ++i)
            name += kDigits[random() % 36];
        Fd fd(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode));
        if (fd.get() >= 0) {
            out = std::move(fd);
            return 0;
        }
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

// Writes the temporary file fully and syncs it. 0 or an errno.
int FillTemp(Fd& fd, std::string_view text, bool keepMode, mode_t mode) {
    if (keepMode && ::fchmod(fd.get(), mode) != 0) return errno;
    if (const int err = Fault(ProfileStep::WriteTemp)) return err;
    if (const int err = WriteAll(fd.get(), text)) return err;
    if (const int err = Fault(ProfileStep::SyncTemp)) return err;
    if (::fsync(fd.get()) != 0) return errno;
    if (::close(fd.release()) != 0) return errno;
    return 0;
}

int ReplaceAtomically(const std::string& path, std::string_view text, const Contents& old) {
    RemoveStaleTemps(path);
    std::string temp;
    Fd fd;
    if (const int err = CreateTemp(path, old.exists ? old.mode : 0666, temp, fd)) return err;
    int err = FillTemp(fd, text, old.exists, old.mode);
    if (!err) err = Fault(ProfileStep::Rename);
    if (!err && ::rename(temp.c_str(), path.c_str()) != 0) err = errno;
    if (err) {
        ::unlink(temp.c_str());
        return err;
    }
    if (const int fault = Fault(ProfileStep::SyncFolder)) return fault;
    Fd folder(::open(Folder(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0) return errno;
    // Some file systems cannot sync a folder; the rename is then as durable as it gets.
    if (::fsync(folder.get()) != 0 && errno != EINVAL) return errno;
    return 0;
}

// Looks the value up. 0 when found, else ENOENT or the errno of the failure.
int LookUp(LPCSTR app, LPCSTR key, LPCSTR file, std::string& value) {
    if (!app || !key || !file) return EINVAL;
    std::string path;
    if (const int err = ResolvePath(file, path)) return err;
    Fd lock;
    const int lockErr = LockProfile(path, false, lock);
    if (lockErr != 0 && lockErr != ENOENT && lockErr != EACCES) return lockErr;
    Contents contents;
    if (const int err = ReadProfile(path, contents)) return err;
    if (!contents.exists) return ENOENT;
    std::optional<std::string> found = ini::FindValue(contents.text, app, key);
    if (!found) return ENOENT;
    value = std::move(*found);
    return 0;
}

BOOL Fail(int err) {
    SetLastError(static_cast<DWORD>(err));
    return FALSE;
}

} // namespace

void SetProfileFaultHook(std::function<int(ProfileStep)> hook) {
    FaultHook() = std::move(hook);
}

} // namespace winapi

UINT GetPrivateProfileIntA(LPCSTR app, LPCSTR key, INT def, LPCSTR file) {
    std::string value;
    const int err = winapi::LookUp(app, key, file, value);
    SetLastError(static_cast<DWORD>(err));
    return err ? static_cast<UINT>(def) : winapi::ini::ParseInt(value);
}

DWORD GetPrivateProfileStringA(LPCSTR app, LPCSTR key, LPCSTR def, LPSTR buf, DWORD size,
                               LPCSTR file) {
    std::string value;
    const int err = winapi::LookUp(app, key, file, value);
    if (err) {
        value = def ? def : "";
        value.erase(value.find_last_not_of(' ') + 1);
    }
    SetLastError(static_cast<DWORD>(err));
    if (!buf) size = 0;
    const std::size_t room = size > 0 ? size - 1 : 0;
    const std::size_t n = std::min<std::size_t>(value.size(), room);
    if (size > 0) {
        std::memcpy(buf, value.data(), n);
        buf[n] = '\0';
    }
    if (value.size() > room && !err) SetLastError(ERROR_MORE_DATA);
    return static_cast<DWORD>(n);
}

BOOL WritePrivateProfileStringA(LPCSTR app, LPCSTR key, LPCSTR value, LPCSTR file) {
    using namespace winapi;
    if (!app || !file) return Fail(EINVAL);
    std::string path;
    if (const int err = ResolvePath(file, path)) return Fail(err);
    Fd lock;
    if (const int err = LockProfile(path, true, lock)) return Fail(err);
    Contents old;
    if (const int err = ReadProfile(path, old)) return Fail(err);

    std::string text;
    if (!key) {
        text = ini::DeleteSection(old.text, app);
    } else if (!value) {
        text = ini::DeleteKey(old.text, app, key);
    } else if (std::optional<std::string> set = ini::SetValue(old.text, app, key, value)) {
        text = std::move(*set);
    } else {
        return Fail(EINVAL);
    }
    const bool deleting = !key || !value;
    if (text == old.text && (old.exists || deleting)) {
        SetLastError(0);
        return TRUE;
    }
    if (const int err = ReplaceAtomically(path, text, old)) return Fail(err);
    SetLastError(0);
    return TRUE;
}
