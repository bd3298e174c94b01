// The platform layer on Windows.
#include "base/platform.h"

#include <windows.h>

#include "base/platform_internal.h"

namespace platform {

using internal::InjectedError;

std::string SystemErrorText(int error_number) {
  char buffer[512] = {0};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 static_cast<DWORD>(error_number), 0, buffer, sizeof buffer, nullptr);
  return buffer;
}

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
}  // namespace platform
