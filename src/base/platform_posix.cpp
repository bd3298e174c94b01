// The platform layer on POSIX systems.
#include "base/platform.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>

#include <dlfcn.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/platform_internal.h"

namespace platform {

using internal::InjectedError;
using internal::SizeText;

std::string SystemErrorText(int error_number) {
  char buffer[256] = {0};
  // The GNU strerror_r may return a static text instead of filling buffer.
#if defined(__GLIBC__) && defined(_GNU_SOURCE)
  return ::strerror_r(error_number, buffer, sizeof buffer);
#else
  if (::strerror_r(error_number, buffer, sizeof buffer) != 0) return "Unknown error";
  return buffer;
#endif
}

namespace {

// The file a path names once its symbolic links are followed; the path
// itself when it is no link or the link cannot be read. A dangling link
// gives the path it points to, so writing there keeps the link.
std::string FollowLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char buffer[PATH_MAX];
    ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer - 1);
    if (n <= 0) return path;
    std::string target(buffer, static_cast<std::size_t>(n));
    if (target.front() == '/') {
      path = target;
    } else {
      auto cut = path.rfind('/');
      path = (cut == std::string::npos ? std::string() : path.substr(0, cut + 1)) + target;
    }
  }
  return path;
}

std::string DirectoryOf(const std::string& path) {
  auto cut = path.rfind('/');
  if (cut == std::string::npos) return ".";
  return cut == 0 ? "/" : path.substr(0, cut);
}

// What a file that is not a regular one is, for messages.
std::string NotRegularText(mode_t mode) {
  if (S_ISDIR(mode)) return SystemErrorText(EISDIR);
  if (S_ISFIFO(mode)) return "a FIFO, not a regular file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device, not a regular file";
  return "not a regular file";
}

// A short temporary name that no other writer uses: ".bp" and six letters
// drawn from the process, the time and a counter.
std::string TemporaryName() {
  static std::atomic<unsigned> counter{0};
  unsigned long long seed = static_cast<unsigned long long>(::getpid()) * 2654435761u;
  seed ^= static_cast<unsigned long long>(
      std::chrono::steady_clock::now().time_since_epoch().count());
  seed += 0x9E3779B97F4A7C15ull * (counter.fetch_add(1) + 1);
  seed ^= seed >> 29;
  seed *= 0xBF58476D1CE4E5B9ull;
  seed ^= seed >> 32;
  std::string name = ".bp";
  for (int i = 0; i < 6; ++i, seed /= 36) name += "0123456789abcdefghijklmnopqrstuvwxyz"[seed % 36];
  return name;
}

// The error of a failed step: the injected one, else errno.
int StepError(int injected) { return injected ? injected : errno; }

}  // namespace

struct AtomicFile::State {
  std::string target;
  std::string temp;
  int fd = -1;
  bool failed = false;
  off_t written = 0;  // bytes written so far
  off_t flushing = 0; // bytes whose way to the disk has been started
};

namespace {

// Every this many bytes written, their way to the disk is started, so that
// the flush of Commit waits for the last ones only.
constexpr off_t kEarlyFlushBytes = off_t{1} << 20;

}  // namespace

AtomicFile::~AtomicFile() { Abort(); }

void AtomicFile::Abort() {
  if (!state_) return;
  if (state_->fd >= 0) ::close(state_->fd);
  if (!state_->temp.empty()) ::unlink(state_->temp.c_str());
  delete state_;
  state_ = nullptr;
}

bool AtomicFile::Open(const std::string& path, std::string* error) {
  Abort();
  auto fail = [&](const std::string& reason) {
    if (error) *error = reason;
    Abort();
    return false;
  };
  state_ = new State;
  state_->target = FollowLinks(path);
  struct stat old{};
  const bool exists = ::stat(state_->target.c_str(), &old) == 0;
  if (exists) {
    // rename() would as readily put a regular file in place of a device
    // or a FIFO, or replace a file someone made read-only.
    if (!S_ISREG(old.st_mode)) return fail(NotRegularText(old.st_mode));
    if (::access(state_->target.c_str(), W_OK) != 0) return fail(SystemErrorText(errno));
  }
  const std::string dir = DirectoryOf(state_->target);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const int injected = InjectedError("open");
    std::string temp = dir + "/" + TemporaryName();
    // The mode passes through the umask as for any new file.
    int fd = injected ? -1 : ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      state_->fd = fd;
      state_->temp = std::move(temp);
      break;
    }
    if (injected || errno != EEXIST) return fail(SystemErrorText(StepError(injected)));
  }
  if (state_->fd < 0) return fail(SystemErrorText(EEXIST));
  if (exists) {
    ::fchmod(state_->fd, old.st_mode & 07777);
    // Only root may give a file away; anyone else keeps the file as theirs.
    if (::fchown(state_->fd, old.st_uid, old.st_gid) != 0) {
    }
  }
  return true;
}

bool AtomicFile::Write(std::string_view data, std::string* error) {
  if (!state_ || state_->failed) {
    if (error) *error = SystemErrorText(EBADF);
    return false;
  }
  const char* p = data.data();
  std::size_t left = data.size();
  while (left > 0) {
    const int injected = InjectedError("write");
    std::size_t piece = internal::HookSet() && left > 512 ? 512 : left;
    ssize_t n = injected ? -1 : ::write(state_->fd, p, piece);
    if (n < 0 && !injected && errno == EINTR) continue;
    if (n <= 0) {
      // A write of nothing at all is a full disk that says so quietly.
      const int reason = n == 0 ? ENOSPC : StepError(injected);
      state_->failed = true;
      if (error) *error = SystemErrorText(reason);
      return false;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
    state_->written += n;
  }
#ifdef __linux__
  if (state_->written - state_->flushing >= kEarlyFlushBytes) {
    // Only starts the writing; Commit's fsync still waits for all of it. A
    // file system that cannot do this leaves it all to Commit.
    ::sync_file_range(state_->fd, state_->flushing, state_->written - state_->flushing,
                      SYNC_FILE_RANGE_WRITE);
    state_->flushing = state_->written;
  }
#endif
  return true;
}

bool AtomicFile::Commit(std::string* error) {
  if (!state_ || state_->failed) {
    if (error) *error = SystemErrorText(EBADF);
    Abort();
    return false;
  }
  auto fail = [&](int reason) {
    if (error) *error = SystemErrorText(reason);
    Abort();
    return false;
  };
  int injected = InjectedError("sync");
  if (injected || ::fsync(state_->fd) != 0) return fail(StepError(injected));
  injected = InjectedError("close");
  const int closed = ::close(state_->fd);
  state_->fd = -1;
  if (injected || closed != 0) return fail(StepError(injected));
  injected = InjectedError("rename");
  if (injected || ::rename(state_->temp.c_str(), state_->target.c_str()) != 0)
    return fail(StepError(injected));
  state_->temp.clear();
  // The new name is on disk only once the folder is.
  int dir = ::open(DirectoryOf(state_->target).c_str(), O_RDONLY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  Abort();
  return true;
}

ReadResult ReadRegularFile(const std::string& path, std::size_t max_bytes, std::string* contents,
                           std::string* error) {
  contents->clear();
  auto fail = [&](ReadResult result, const std::string& reason) {
    if (error) *error = reason;
    contents->clear();
    return result;
  };
  // O_NONBLOCK: opening a FIFO without a writer must not wait for one.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    const int reason = errno;
    return fail(reason == ENOENT ? ReadResult::kMissing : ReadResult::kFailed,
                SystemErrorText(reason));
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const std::string reason = NotRegularText(st.st_mode);
    ::close(fd);
    return fail(ReadResult::kNotRegular, reason);
  }
  if (static_cast<unsigned long long>(st.st_size) > max_bytes) {
    ::close(fd);
    return fail(ReadResult::kTooLarge, "larger than " + SizeText(max_bytes));
  }
  // Room for the look past the end below, so that a file read whole is not
  // copied once more to make it.
  contents->reserve(std::min<std::size_t>(static_cast<std::size_t>(st.st_size) + 65536,
                                          max_bytes + 1));
  contents->resize(static_cast<std::size_t>(st.st_size));
  std::size_t have = 0;
  for (;;) {
    // A file that grows while it is read is read up to the limit and one
    // byte more, which tells that it is too large.
    if (have == contents->size()) {
      if (have > max_bytes) break;
      contents->resize(std::min<std::size_t>(have + 65536, max_bytes + 1));
    }
    ssize_t n = ::read(fd, contents->data() + have, contents->size() - have);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int reason = errno;
      ::close(fd);
      return fail(ReadResult::kFailed, SystemErrorText(reason));
    }
    if (n == 0) break;
    have += static_cast<std::size_t>(n);
  }
  ::close(fd);
  if (have > max_bytes) return fail(ReadResult::kTooLarge, "larger than " + SizeText(max_bytes));
  contents->resize(have);
  return ReadResult::kOk;
}

bool AppendToFile(const std::string& path, std::string_view text, std::string* error) {
  int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK,
                  0666);
  if (fd < 0) {
    if (error) *error = SystemErrorText(errno);
    return false;
  }
  ssize_t n;
  while ((n = ::write(fd, text.data(), text.size())) < 0 && errno == EINTR) {
  }
  const int reason = errno;
  const bool ok = n == static_cast<ssize_t>(text.size());
  ::close(fd);
  if (!ok && error) *error = SystemErrorText(n < 0 ? reason : ENOSPC);
  return ok;
}

FileKind KindOf(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return FileKind::kMissing;
  if (S_ISREG(st.st_mode)) return FileKind::kRegular;
  if (S_ISDIR(st.st_mode)) return FileKind::kDirectory;
  return FileKind::kOther;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

FileLock::~FileLock() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));  // closing releases the lock
}

bool FileLock::Lock(const std::string& path, std::string* error) {
  // The file itself is replaced at every save, so a lock on it would be a
  // lock on a file that is gone; its folder stays.
  const std::string dir = DirectoryOf(FollowLinks(path));
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    if (error) *error = SystemErrorText(errno);
    return false;
  }
  // A file system without locks (some network shares) gives an error here:
  // go on unlocked rather than refuse every save.
  while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
  }
  handle_ = fd;
  return true;
}

void* LoadModule(const std::string& path, std::string* error) {
  void* m = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!m && error) {
    const char* e = dlerror();
    *error = e ? e : "cannot load module";
  }
  return m;
}
void* ModuleSymbol(void* module, const char* name) { return dlsym(module, name); }
void UnloadModule(void* module) { dlclose(module); }

long ProcessId() { return static_cast<long>(::getpid()); }

void SetEnvironment(const std::string& name, const std::string& value) {
  ::setenv(name.c_str(), value.c_str(), 1);
}

std::string ExecutableDirectory() {
  char buffer[PATH_MAX + 1] = {0};
  ssize_t n = ::readlink("/proc/self/exe", buffer, PATH_MAX);
  if (n <= 0) return std::string();
  std::string p(buffer, static_cast<std::size_t>(n));
  auto cut = LastSeparator(p);
  return cut == std::string::npos ? std::string() : p.substr(0, cut + 1);
}

std::string ModuleDirectory() {
  // The loader knows which object holds this very function.
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ModuleDirectory), &info) == 0 || !info.dli_fname)
    return std::string();
  std::string p = info.dli_fname;
  // The main program may be reported by the name it was started with.
  if (p.find('/') == std::string::npos) return ExecutableDirectory();
  char resolved[PATH_MAX + 1] = {0};
  if (::realpath(p.c_str(), resolved)) p = resolved;
  auto cut = LastSeparator(p);
  return cut == std::string::npos ? std::string() : p.substr(0, cut + 1);
}
}  // namespace platform
