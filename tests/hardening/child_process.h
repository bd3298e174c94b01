// Runs a piece of work in a child process, the way a test can watch what a
// host would suffer: the result, how the child ended (a crash is a signal,
// or on Windows an exception code; a hang is a timeout), its standard
// error, its peak memory and its time.
//
// The work is a task: a function registered under a name that takes text
// arguments, so that a child can run it on both systems. On POSIX the child
// is forked and calls the task directly; on Windows the test program is
// started again (CreateProcess) with the task's name and arguments, in a
// job object that bounds its time and measures its memory.
#ifndef BARPOST_TESTS_HARDENING_CHILD_PROCESS_H_
#define BARPOST_TESTS_HARDENING_CHILD_PROCESS_H_

#include <string>
#include <vector>

namespace hardening {

struct ChildRun {
  bool finished = false;   // the work returned and the child exited normally
  int result = 0;          // what the work returned
  int signal = 0;          // the signal (Windows: exception code) that ended the child, or 0
  bool timed_out = false;  // killed after the time limit
  std::string err;         // everything the child wrote to standard error
  long max_rss_kb = 0;     // peak resident memory of the child
  double seconds = 0;      // wall time

  // One line for failure messages.
  std::string Describe() const;
};

struct ChildOptions {
  double timeout_seconds = 60;
  // When the test runs as root on POSIX: run the work as the unprivileged
  // user "nobody", so that file permissions count. Windows has no such
  // user to become; its read-only marks bind everyone.
  bool unprivileged = false;
  // When not 0: the largest file the work may write (RLIMIT_FSIZE), with
  // SIGXFSZ ignored so that a write beyond it fails with EFBIG.
  long long file_size_limit = 0;
};

using ChildArgs = std::vector<std::string>;
using ChildTask = int (*)(const ChildArgs& args);

// Registers a task at static initialisation:
//   const hardening::ChildTaskName kSave("save", &SaveTask);
struct ChildTaskName {
  ChildTaskName(const char* name, ChildTask task);
};

// Runs the task in a child with standard error sent to a file, and waits
// at most options.timeout_seconds.
ChildRun RunInChild(const std::string& task, const ChildArgs& args,
                    const ChildOptions& options = {});

// A child that is not waited for: the test starts it, waits until the task
// says it is ready (ChildReady), and may kill it at any moment after.
class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts the task; returns once the task has called ChildReady, false when
  // the child could not be started or ended before.
  bool Start(const std::string& task, const ChildArgs& args);
  void Kill();
  // Waits for the end; the exit status (0 when the task returned 0).
  int Wait();

 private:
#ifdef _WIN32
  void* process_ = nullptr;
  void* ready_ = nullptr;
#else
  int pid_ = -1;
  int ready_fd_ = -1;
#endif
};

// Called by a task run through ChildProcess when the moment the test aims
// at has come.
void ChildReady();

// The uid and gid RunInChild uses for unprivileged work.
constexpr unsigned kNobody = 65534;

// True when the binary runs under AddressSanitizer (peaks of memory and
// time are then several times those of the plain build).
bool UnderSanitizer();

// Directory that tasks change into, so that relative paths land there.
bool ChangeDirectory(const std::string& dir);

}  // namespace hardening

#endif  // BARPOST_TESTS_HARDENING_CHILD_PROCESS_H_
