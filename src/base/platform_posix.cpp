// The platform layer on POSIX systems.
#include "base/platform.h"

#include <cerrno>
#include <cstring>

#include <dlfcn.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/platform_internal.h"

namespace platform {

using internal::InjectedError;

std::string SystemErrorText(int error_number) { return std::strerror(error_number); }

int LastFileError() { return errno; }

bool ReplaceFileAtomically(const std::string& path, const std::string& contents,
                           std::string* error) {
  auto cut = LastSeparator(path);
  std::string dir = cut == std::string::npos ? std::string(".") : path.substr(0, cut + 1);
  std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
  // rename() would replace a read-only file as readily as any other.
  if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0) {
    if (error) *error = SystemErrorText(errno);
    return false;
  }
  std::string temp = JoinPath(dir, "." + name + ".XXXXXX");
  int injected = InjectedError("open");
  int fd = injected ? -1 : mkstemp(temp.data());
  if (fd < 0) {
    if (error) *error = SystemErrorText(injected ? injected : errno);
    return false;
  }
  const char* p = contents.data();
  std::size_t left = contents.size();
  while (left > 0) {
    injected = InjectedError("write");
    std::size_t piece = internal::HookSet() && left > 512 ? 512 : left;
    ssize_t n = injected ? -1 : ::write(fd, p, piece);
    if (n < 0) {
      if (!injected && errno == EINTR) continue;
      int saved = injected ? injected : errno;
      ::close(fd);
      ::unlink(temp.c_str());
      if (error) *error = SystemErrorText(saved);
      return false;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  // Keep the permissions of the file we replace; a new file gets the usual 0644
  // less the umask, not mkstemp's 0600.
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) {
    ::fchmod(fd, st.st_mode & 07777);
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
  }
  injected = InjectedError("sync");
  if (injected || ::fsync(fd) != 0) {
    int saved = injected ? injected : errno;
    ::close(fd);
    ::unlink(temp.c_str());
    if (error) *error = SystemErrorText(saved);
    return false;
  }
  injected = InjectedError("close");
  if (::close(fd) != 0 || injected) {
    int saved = injected ? injected : errno;
    ::unlink(temp.c_str());
    if (error) *error = SystemErrorText(saved);
    return false;
  }
  injected = InjectedError("rename");
  if (injected || ::rename(temp.c_str(), path.c_str()) != 0) {
    int saved = injected ? injected : errno;
    ::unlink(temp.c_str());
    if (error) *error = SystemErrorText(saved);
    return false;
  }
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
