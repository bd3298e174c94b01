#include "base/platform.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <stdlib.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <limits.h>
#include <unistd.h>
#endif

namespace platform {

bool IsPathSeparator(char c) { return c == '/' || c == '\\'; }

char PreferredSeparator() {
#ifdef _WIN32
  return '\\';
#else
  return '/';
#endif
}

std::string::size_type LastSeparator(const std::string& path) {
  return path.find_last_of("/\\");
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  if (IsPathSeparator(dir.back())) return dir + name;
  return dir + PreferredSeparator() + name;
}

namespace {

FileStepHook g_file_step_hook = nullptr;

// The error a test hook injects into step, or 0.
int InjectedError(const char* step) { return g_file_step_hook ? g_file_step_hook(step) : 0; }

}  // namespace

void SetFileStepHookForTesting(FileStepHook hook) { g_file_step_hook = hook; }

std::string SystemErrorText(int error_number) {
#ifdef _WIN32
  char buffer[512] = {0};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 static_cast<DWORD>(error_number), 0, buffer, sizeof buffer, nullptr);
  return buffer;
#else
  return std::strerror(error_number);
#endif
}

bool ReadWholeFile(const std::string& path, std::string* contents, std::string* error) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    if (error) *error = SystemErrorText(errno);
    return false;
  }
  std::string text;
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  bool ok = !std::ferror(f);
  int saved = errno;
  std::fclose(f);
  if (!ok) {
    if (error) *error = SystemErrorText(saved);
    return false;
  }
  *contents = std::move(text);
  return true;
}

#ifdef _WIN32
bool ReplaceFileAtomically(const std::string& path, const std::string& contents,
                           std::string* error) {
  std::string temp = path + ".tmp";
  int injected = InjectedError("open");
  HANDLE h = injected ? INVALID_HANDLE_VALUE
                      : CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    if (error) *error = SystemErrorText(injected ? injected : static_cast<int>(GetLastError()));
    return false;
  }
  DWORD written = 0;
  injected = InjectedError("write");
  BOOL ok = !injected &&
            WriteFile(h, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr) &&
            FlushFileBuffers(h);
  CloseHandle(h);
  if (ok) injected = InjectedError("rename");
  if (!ok || injected ||
      !MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    if (error) *error = SystemErrorText(injected ? injected : static_cast<int>(GetLastError()));
    DeleteFileA(temp.c_str());
    return false;
  }
  return true;
}

void* LoadModule(const std::string& path, std::string* error) {
  HMODULE m = LoadLibraryA(path.c_str());
  if (!m && error) *error = SystemErrorText(static_cast<int>(GetLastError()));
  return reinterpret_cast<void*>(m);
}
void* ModuleSymbol(void* module, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}
void UnloadModule(void* module) { FreeLibrary(static_cast<HMODULE>(module)); }
std::string ExecutableDirectory() {
  char buffer[MAX_PATH] = {0};
  GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  std::string p = buffer;
  auto cut = LastSeparator(p);
  return cut == std::string::npos ? std::string() : p.substr(0, cut + 1);
}
std::string ModuleDirectory() {
  HMODULE self = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCSTR>(&ModuleDirectory), &self))
    return std::string();
  char buffer[MAX_PATH] = {0};
  GetModuleFileNameA(self, buffer, MAX_PATH);
  std::string p = buffer;
  auto cut = LastSeparator(p);
  return cut == std::string::npos ? std::string() : p.substr(0, cut + 1);
}
#else
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
    std::size_t piece = g_file_step_hook && left > 512 ? 512 : left;
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
#endif

}  // namespace platform
