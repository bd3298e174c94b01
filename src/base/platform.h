// The few things that differ between the POSIX build and the Windows DLL,
// each behind one small function.
#ifndef BARPOST_BASE_PLATFORM_H_
#define BARPOST_BASE_PLATFORM_H_

#include <cstddef>
#include <string>
#include <string_view>

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

// A file written whole or not at all. Open makes a temporary file in the
// target's folder; Write appends to it, every write checked (a full disk, a
// file-size limit, an I/O error); Commit flushes it to disk, closes it and
// renames it over the target in one step. Until Commit succeeds the target
// keeps its old contents, and a file destroyed without a successful Commit
// removes its temporary file. A kill at any moment leaves the old file or
// the new one at the target, never a cut-off one.
//
// The target is the file a symbolic link points to, so a linked file stays a
// link. A target that exists must be a regular file that may be written (a
// read-only file is a configuration someone locked); a new file keeps the
// owner, group and permissions of the one it replaces. The temporary name
// is short, so a target name of up to 255 characters works.
class AtomicFile {
 public:
  AtomicFile() = default;
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // False with *error set to the system's reason.
  bool Open(const std::string& path, std::string* error);
  bool Write(std::string_view data, std::string* error);
  bool Commit(std::string* error);
  // Drops the temporary file; the target stays as it was.
  void Abort();

 private:
  struct State;
  State* state_ = nullptr;
};

// Open, Write and Commit of one text.
bool ReplaceFileAtomically(const std::string& path, std::string_view contents,
                           std::string* error);

// Tests only: when set, called before each system call the atomic writer
// makes, with its name ("open", "write", "sync", "close", "rename"); a
// nonzero result makes that call fail with that error number. While a hook
// is set the contents are written in pieces of at most 512 bytes, one
// "write" each. Off (nullptr) by default.
using FileStepHook = int (*)(const char* step);
void SetFileStepHookForTesting(FileStepHook hook);

// Reads the whole file into *contents. Returns false when it cannot be
// opened or read, with *error set to the system's reason.
bool ReadWholeFile(const std::string& path, std::string* contents, std::string* error);

// What ReadRegularFile found.
enum class ReadResult { kOk, kMissing, kNotRegular, kTooLarge, kFailed };

// Reads a regular file of at most max_bytes into *contents. Opening never
// blocks: a FIFO, a device or a folder is refused without being read, and so
// is a file larger than max_bytes. On anything but kOk *error holds the
// reason ("not a regular file", "larger than 16 MB", the system's text) and
// *contents is empty.
ReadResult ReadRegularFile(const std::string& path, std::size_t max_bytes, std::string* contents,
                           std::string* error);

// What stands at a path, following links.
enum class FileKind { kMissing, kRegular, kDirectory, kOther };
FileKind KindOf(const std::string& path);

// True when a and b both exist and are the same file, however they are
// spelt: links resolved, the device and file number compared.
bool SameFile(const std::string& a, const std::string& b);

// An exclusive lock for a read-modify-write of a file that is replaced
// atomically, such as the INI file: other holders are waited for, and the
// lock is held until the object is destroyed. It is taken on what stays while
// the file is replaced (on POSIX the folder of the file, links followed), so
// every saver of the file, in this process or another, takes turns.
class FileLock {
 public:
  FileLock() = default;
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool Lock(const std::string& path, std::string* error);

 private:
  long long handle_ = -1;
};

// Appends text to the file at path (created when missing) in one write, so
// that records of several processes do not mix. For logs only: programs and
// configurations are replaced whole with AtomicFile.
bool AppendToFile(const std::string& path, std::string_view text, std::string* error);

// Loads a shared module and looks symbols up in it.
void* LoadModule(const std::string& path, std::string* error);
void* ModuleSymbol(void* module, const char* name);
void UnloadModule(void* module);

// The number of this process, and setting a variable of its environment
// (for the command-line host, which hands settings to the module that way).
long ProcessId();
void SetEnvironment(const std::string& name, const std::string& value);

// Directory that holds the running executable, with a trailing separator.
std::string ExecutableDirectory();

// Directory of the binary this code is linked into (the module inside a
// host, the program itself when linked statically), with a trailing
// separator; empty when the system cannot tell.
std::string ModuleDirectory();

}  // namespace platform

#endif  // BARPOST_BASE_PLATFORM_H_
