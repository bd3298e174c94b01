// The few things that differ between the POSIX build and the Windows DLL,
// each behind one small function.
#ifndef BARPOST_BASE_PLATFORM_H_
#define BARPOST_BASE_PLATFORM_H_

#include <string>

namespace platform {

// True for the characters that separate directories in the paths the host
// hands us. Windows hosts write '\', so both count on every platform; on
// Windows the system takes '/' in a path as well.
bool IsPathSeparator(char c);

// The separator this platform writes when it joins paths.
char PreferredSeparator();

// Index of the last directory separator of path, or std::string::npos.
std::string::size_type LastSeparator(const std::string& path);

// dir joined with name; dir may or may not end with a separator.
std::string JoinPath(const std::string& dir, const std::string& name);

// The system's text for an error number: errno on POSIX, a Win32 error
// code (GetLastError) on Windows. Error numbers handed to a FileStepHook are
// of the same kind.
std::string SystemErrorText(int error_number);

// The error number of the C library's last failed file call (fopen, fread,
// ...), in the form SystemErrorText takes: errno on POSIX, the system's own
// code behind errno on Windows.
int LastFileError();

// Replaces the file at path with contents in one step: the text goes to a
// temporary file beside it, is flushed to disk and renamed over the old
// file. Either the old file or the new one is there afterwards, never a
// half-written one. On failure returns false and sets *error.
// A file that exists but may not be written (read-only) is left alone: a
// read-only INI file is a configuration someone locked.
bool ReplaceFileAtomically(const std::string& path, const std::string& contents,
                           std::string* error);

// Tests only: when set, called before each system call ReplaceFileAtomically
// makes, with its name ("open", "write", "sync", "close", "rename"); a
// nonzero result makes that call fail with that error number. While a hook
// is set the contents are written in pieces of at most 512 bytes, one
// "write" each. Off (nullptr) by default.
using FileStepHook = int (*)(const char* step);
void SetFileStepHookForTesting(FileStepHook hook);

// Reads the whole file into *contents. Returns false when it cannot be
// opened or read, with *error set to the system's reason.
bool ReadWholeFile(const std::string& path, std::string* contents, std::string* error);

// Loads a shared module and looks symbols up in it.
void* LoadModule(const std::string& path, std::string* error);
void* ModuleSymbol(void* module, const char* name);
void UnloadModule(void* module);

// Directory that holds the running executable, with a trailing separator.
std::string ExecutableDirectory();

// Directory of the binary this code is linked into (the module inside a
// host, the program itself when linked statically), with a trailing
// separator; empty when the system cannot tell.
std::string ModuleDirectory();

}  // namespace platform

#endif  // BARPOST_BASE_PLATFORM_H_
