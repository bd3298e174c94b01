// Runs a piece of work in a forked child, the way a test can watch what a
// host would suffer: the result, how the child ended (a crash is a signal,
// a hang is a timeout), its standard error, its peak memory and its time.
#ifndef BARPOST_TESTS_HARDENING_CHILD_PROCESS_H_
#define BARPOST_TESTS_HARDENING_CHILD_PROCESS_H_

#include <functional>
#include <string>

namespace hardening {

struct ChildRun {
  bool finished = false;   // the work returned and the child exited normally
  int result = 0;          // what the work returned
  int signal = 0;          // the signal that ended the child, or 0
  bool timed_out = false;  // killed after the time limit
  std::string err;         // everything the child wrote to standard error
  long max_rss_kb = 0;     // peak resident memory of the child
  double seconds = 0;      // wall time

  // One line for failure messages.
  std::string Describe() const;
};

struct ChildOptions {
  double timeout_seconds = 60;
  // When the test runs as root: run the work as the unprivileged user
  // "nobody", so that file permissions count.
  bool unprivileged = false;
  // When not 0: the largest file the work may write (RLIMIT_FSIZE), with
  // SIGXFSZ ignored so that a write beyond it fails with EFBIG.
  long long file_size_limit = 0;
};

// Forks, runs work in the child with standard error sent to a file, and
// waits at most options.timeout_seconds. The child leaves with _exit, so
// nothing of the parent's is flushed or destroyed twice.
ChildRun RunInChild(const std::function<int()>& work, const ChildOptions& options = {});

// The uid and gid RunInChild uses for unprivileged work.
constexpr unsigned kNobody = 65534;

// True when the binary runs under AddressSanitizer (peaks of memory and
// time are then several times those of the plain build).
bool UnderSanitizer();

}  // namespace hardening

#endif  // BARPOST_TESTS_HARDENING_CHILD_PROCESS_H_
