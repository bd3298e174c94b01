// The platform layer on Windows. Paths are 8-bit strings in the process's
// ANSI code page, the form the host hands them over in, and go to the "A"
// functions of the system unchanged. Error numbers are Win32 error codes
// (GetLastError), and their text is the system's (FormatMessageA).
#include "base/platform.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>

#include "base/platform_internal.h"

namespace platform {

using internal::InjectedError;
using internal::SizeText;

namespace {

int LastError() { return static_cast<int>(GetLastError()); }

std::string DirectoryPart(const std::string& path) {
  auto cut = LastSeparator(path);
  // "C:name" is a file in the current directory of drive C.
  if (cut == std::string::npos && path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

}  // namespace

std::string SystemErrorText(int error_number) {
  char buffer[512] = {0};
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           static_cast<DWORD>(error_number), 0, buffer, sizeof buffer, nullptr);
  std::string text(buffer, n);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
    text.pop_back();
  if (text.empty()) text = "system error " + std::to_string(error_number);
  return text;
}

void* LoadModule(const std::string& path, std::string* error) {
  // No "cannot find the module" box from the system when a DLL is missing.
  UINT old_mode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE m = LoadLibraryA(path.c_str());
  int code = LastError();
  SetErrorMode(old_mode);
  if (!m && error) *error = path + ": " + SystemErrorText(code);
  return reinterpret_cast<void*>(m);
}

void* ModuleSymbol(void* module, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void UnloadModule(void* module) { FreeLibrary(static_cast<HMODULE>(module)); }

namespace {

std::string DirectoryOfModule(HMODULE module) {
  char buffer[MAX_PATH + 1] = {0};
  DWORD n = GetModuleFileNameA(module, buffer, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return std::string();
  return DirectoryPart(std::string(buffer, n));
}

}  // namespace

long ProcessId() { return static_cast<long>(GetCurrentProcessId()); }

void SetEnvironment(const std::string& name, const std::string& value) {
  // Both the C library's copy (getenv) and the system's.
  _putenv_s(name.c_str(), value.c_str());
  SetEnvironmentVariableA(name.c_str(), value.c_str());
}

std::string ExecutableDirectory() { return DirectoryOfModule(nullptr); }

std::string ModuleDirectory() {
  HMODULE self = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCSTR>(&ModuleDirectory), &self))
    return std::string();
  return DirectoryOfModule(self);
}

// Files written whole, bounded reads, file identity and the save lock.

namespace {

int StepError(int injected) { return injected ? injected : static_cast<int>(GetLastError()); }

std::string DirectoryOf(const std::string& path) {
  auto cut = LastSeparator(path);
  if (cut == std::string::npos) return ".";
  return path.substr(0, cut == 0 ? 1 : cut);
}

std::string TemporaryName() {
  static std::atomic<unsigned> counter{0};
  unsigned long long seed = static_cast<unsigned long long>(GetCurrentProcessId()) * 2654435761u;
  seed ^= static_cast<unsigned long long>(GetTickCount64());
  seed += 0x9E3779B97F4A7C15ull * (counter.fetch_add(1) + 1);
  seed ^= seed >> 29;
  seed *= 0xBF58476D1CE4E5B9ull;
  seed ^= seed >> 32;
  std::string name = ".bp";
  for (int i = 0; i < 6; ++i, seed /= 36) name += "0123456789abcdefghijklmnopqrstuvwxyz"[seed % 36];
  return name;
}

// Opens path for reading its identity without getting in anyone's way.
HANDLE OpenForInfo(const std::string& path) {
  return CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

bool Identity(HANDLE h, BY_HANDLE_FILE_INFORMATION* info) {
  return h != INVALID_HANDLE_VALUE && GetFileInformationByHandle(h, info);
}

bool SameIdentity(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
         a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

}  // namespace

struct AtomicFile::State {
  std::string target;
  std::string temp;
  HANDLE handle = INVALID_HANDLE_VALUE;
  bool failed = false;
};

AtomicFile::~AtomicFile() { Abort(); }

void AtomicFile::Abort() {
  if (!state_) return;
  if (state_->handle != INVALID_HANDLE_VALUE) CloseHandle(state_->handle);
  if (!state_->temp.empty()) DeleteFileA(state_->temp.c_str());
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
  state_->target = path;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return fail(SystemErrorText(ERROR_DIRECTORY));
    if (attributes & FILE_ATTRIBUTE_READONLY) return fail(SystemErrorText(ERROR_ACCESS_DENIED));
  }
  const std::string dir = DirectoryOf(path);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const int injected = InjectedError("open");
    std::string temp = JoinPath(dir, TemporaryName());
    HANDLE h = injected ? INVALID_HANDLE_VALUE
                        : CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      state_->handle = h;
      state_->temp = std::move(temp);
      return true;
    }
    if (injected || GetLastError() != ERROR_FILE_EXISTS) return fail(SystemErrorText(StepError(injected)));
  }
  return fail(SystemErrorText(ERROR_FILE_EXISTS));
}

bool AtomicFile::Write(std::string_view data, std::string* error) {
  if (!state_ || state_->failed) {
    if (error) *error = SystemErrorText(ERROR_INVALID_HANDLE);
    return false;
  }
  const char* p = data.data();
  std::size_t left = data.size();
  while (left > 0) {
    const int injected = InjectedError("write");
    std::size_t piece = std::min<std::size_t>(left, internal::HookSet() ? 512 : 1u << 30);
    DWORD written = 0;
    if (injected || !WriteFile(state_->handle, p, static_cast<DWORD>(piece), &written, nullptr) ||
        written == 0) {
      const int reason = injected ? injected
                                  : (written == 0 && LastError() == 0 ? ERROR_DISK_FULL : LastError());
      state_->failed = true;
      if (error) *error = SystemErrorText(reason);
      return false;
    }
    p += written;
    left -= written;
  }
  return true;
}

bool AtomicFile::Commit(std::string* error) {
  if (!state_ || state_->failed) {
    if (error) *error = SystemErrorText(ERROR_INVALID_HANDLE);
    Abort();
    return false;
  }
  auto fail = [&](int reason) {
    if (error) *error = SystemErrorText(reason);
    Abort();
    return false;
  };
  int injected = InjectedError("sync");
  if (injected || !FlushFileBuffers(state_->handle)) return fail(StepError(injected));
  injected = InjectedError("close");
  const BOOL closed = CloseHandle(state_->handle);
  state_->handle = INVALID_HANDLE_VALUE;
  if (injected || !closed) return fail(StepError(injected));
  // The replaced file's hidden, system and archive marks stay with the name.
  const DWORD old = GetFileAttributesA(state_->target.c_str());
  if (old != INVALID_FILE_ATTRIBUTES)
    SetFileAttributesA(state_->temp.c_str(),
                       old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
  injected = InjectedError("rename");
  if (injected || !MoveFileExA(state_->temp.c_str(), state_->target.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return fail(StepError(injected));
  state_->temp.clear();
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
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return fail(ReadResult::kNotRegular, SystemErrorText(ERROR_DIRECTORY));
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const int reason = LastError();
    return fail(reason == ERROR_FILE_NOT_FOUND || reason == ERROR_PATH_NOT_FOUND
                    ? ReadResult::kMissing
                    : ReadResult::kFailed,
                SystemErrorText(reason));
  }
  // Pipes, consoles and devices such as NUL are not files to read whole.
  if (GetFileType(h) != FILE_TYPE_DISK) {
    CloseHandle(h);
    return fail(ReadResult::kNotRegular, "not a regular file");
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(h, &size) || static_cast<unsigned long long>(size.QuadPart) > max_bytes) {
    CloseHandle(h);
    return fail(ReadResult::kTooLarge, "larger than " + SizeText(max_bytes));
  }
  std::size_t have = 0;
  contents->resize(static_cast<std::size_t>(size.QuadPart));
  for (;;) {
    if (have == contents->size()) {
      if (have > max_bytes) break;
      contents->resize(std::min<std::size_t>(have + 65536, max_bytes + 1));
    }
    DWORD n = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(contents->size() - have, 1u << 30));
    if (!ReadFile(h, contents->data() + have, want, &n, nullptr)) {
      const int reason = LastError();
      CloseHandle(h);
      return fail(ReadResult::kFailed, SystemErrorText(reason));
    }
    if (n == 0) break;
    have += n;
  }
  CloseHandle(h);
  if (have > max_bytes) return fail(ReadResult::kTooLarge, "larger than " + SizeText(max_bytes));
  contents->resize(have);
  return ReadResult::kOk;
}

bool AppendToFile(const std::string& path, std::string_view text, std::string* error) {
  HANDLE h = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    if (error) *error = SystemErrorText(LastError());
    return false;
  }
  DWORD written = 0;
  const BOOL ok = WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                  written == text.size();
  if (!ok && error) *error = SystemErrorText(LastError());
  CloseHandle(h);
  return ok;
}

FileKind KindOf(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return FileKind::kMissing;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FileKind::kDirectory;
  return FileKind::kRegular;
}

bool SameFile(const std::string& a, const std::string& b) {
  HANDLE ha = OpenForInfo(a);
  HANDLE hb = OpenForInfo(b);
  BY_HANDLE_FILE_INFORMATION ia{}, ib{};
  const bool same = Identity(ha, &ia) && Identity(hb, &ib) && SameIdentity(ia, ib);
  if (ha != INVALID_HANDLE_VALUE) CloseHandle(ha);
  if (hb != INVALID_HANDLE_VALUE) CloseHandle(hb);
  return same;
}

// The lock is a named mutex of the file's full path: the file itself is
// replaced at every save, and a folder cannot be locked on Windows.
FileLock::~FileLock() {
  if (handle_ == -1) return;
  HANDLE h = reinterpret_cast<HANDLE>(static_cast<intptr_t>(handle_));
  ReleaseMutex(h);
  CloseHandle(h);
}

bool FileLock::Lock(const std::string& path, std::string* error) {
  char full[MAX_PATH * 2] = {0};
  DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  std::string name = n > 0 && n < sizeof full ? std::string(full, n) : path;
  // One name however the path is spelt: Windows paths ignore case.
  CharLowerBuffA(name.data(), static_cast<DWORD>(name.size()));
  unsigned long long hash = 1469598103934665603ull;  // FNV-1a
  for (char c : name) hash = (hash ^ static_cast<unsigned char>(c == '/' ? '\\' : c)) * 1099511628211ull;
  char mutex_name[64];
  wsprintfA(mutex_name, "barpost-save-%08lx%08lx", static_cast<unsigned long>(hash >> 32),
            static_cast<unsigned long>(hash & 0xffffffffu));
  HANDLE h = CreateMutexA(nullptr, FALSE, mutex_name);
  if (!h) {
    if (error) *error = SystemErrorText(LastError());
    return false;
  }
  const DWORD waited = WaitForSingleObject(h, INFINITE);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    if (error) *error = SystemErrorText(LastError());
    CloseHandle(h);
    return false;
  }
  handle_ = static_cast<long long>(reinterpret_cast<intptr_t>(h));
  return true;
}

}  // namespace platform
