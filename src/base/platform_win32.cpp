// The platform layer on Windows. Paths are 8-bit strings in the process's
// ANSI code page, the form the host hands them over in, and go to the "A"
// functions of the system unchanged. Error numbers are Win32 error codes
// (GetLastError), and their text is the system's (FormatMessageA).
#include "base/platform.h"

#include <windows.h>

#include <cerrno>
#include <cstdlib>

#include "base/platform_internal.h"

namespace platform {

using internal::InjectedError;

namespace {

int LastError() { return static_cast<int>(GetLastError()); }

std::string DirectoryPart(const std::string& path) {
  auto cut = LastSeparator(path);
  // "C:name" is a file in the current directory of drive C.
  if (cut == std::string::npos && path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string NamePart(const std::string& path) {
  std::string dir = DirectoryPart(path);
  return path.substr(dir.size());
}

// Creates a new, empty temporary file ".NAME.XXXXXX" beside path. The six
// characters come from the process id and a counter, and a name that is
// taken is passed over.
HANDLE CreateTemporaryBeside(const std::string& path, std::string* temp) {
  static unsigned counter = 0;
  const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  const std::string stem = DirectoryPart(path) + "." + NamePart(path) + ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    unsigned long long n = (static_cast<unsigned long long>(GetCurrentProcessId()) << 16) ^
                           (GetTickCount64() << 4) ^ ++counter;
    std::string suffix(6, '0');
    for (char& c : suffix) {
      c = kDigits[n % 36];
      n /= 36;
    }
    *temp = stem + suffix;
    HANDLE h = CreateFileA(temp->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return h;
  }
  SetLastError(ERROR_FILE_EXISTS);
  return INVALID_HANDLE_VALUE;
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

int LastFileError() {
  // The C library keeps the system's own code of its last failed call beside
  // errno; errno alone is mapped for the few cases the C library makes up.
  if (_doserrno != 0) return static_cast<int>(_doserrno);
  switch (errno) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case EACCES: return ERROR_ACCESS_DENIED;
    case ENOSPC: return ERROR_DISK_FULL;
    case EEXIST: return ERROR_FILE_EXISTS;
    case EMFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_GEN_FAILURE;
  }
}

bool ReplaceFileAtomically(const std::string& path, const std::string& contents,
                           std::string* error) {
  auto fail = [&](int code) {
    if (error) *error = SystemErrorText(code);
    return false;
  };
  // MoveFileEx would not replace a read-only file either, but it would have
  // been written in vain; and a read-only file is a configuration someone
  // locked.
  DWORD attributes = GetFileAttributesA(path.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & FILE_ATTRIBUTE_READONLY)) return fail(ERROR_ACCESS_DENIED);
  if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return fail(ERROR_ACCESS_DENIED);

  std::string temp;
  int injected = InjectedError("open");
  HANDLE h = injected ? INVALID_HANDLE_VALUE : CreateTemporaryBeside(path, &temp);
  if (h == INVALID_HANDLE_VALUE) return fail(injected ? injected : LastError());
  auto abandon = [&](int code) {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    DeleteFileA(temp.c_str());
    return fail(code);
  };

  const char* p = contents.data();
  std::size_t left = contents.size();
  while (left > 0) {
    injected = InjectedError("write");
    std::size_t piece = internal::HookSet() && left > 512 ? 512 : left;
    if (piece > (1u << 30)) piece = 1u << 30;
    DWORD written = 0;
    if (injected) return abandon(injected);
    if (!WriteFile(h, p, static_cast<DWORD>(piece), &written, nullptr)) return abandon(LastError());
    p += written;
    left -= written;
  }
  injected = InjectedError("sync");
  if (injected) return abandon(injected);
  if (!FlushFileBuffers(h)) return abandon(LastError());
  injected = InjectedError("close");
  BOOL closed = CloseHandle(h);
  h = INVALID_HANDLE_VALUE;
  if (injected) return abandon(injected);
  if (!closed) return abandon(LastError());
  // The replaced file's hidden, system and archive marks stay with the name.
  if (exists)
    SetFileAttributesA(temp.c_str(), attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                                   FILE_ATTRIBUTE_ARCHIVE));
  injected = InjectedError("rename");
  if (injected) return abandon(injected);
  if (!MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return abandon(LastError());
  return true;
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

std::string ExecutableDirectory() { return DirectoryOfModule(nullptr); }

std::string ModuleDirectory() {
  HMODULE self = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCSTR>(&ModuleDirectory), &self))
    return std::string();
  return DirectoryOfModule(self);
}

}  // namespace platform
