#include "child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace hardening {

bool UnderSanitizer() {
#if defined(__SANITIZE_ADDRESS__)
  return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  return true;
#else
  return false;
#endif
#else
  return false;
#endif
}

std::string ChildRun::Describe() const {
  std::string s;
  if (timed_out)
    s = "hung (killed after the time limit)";
  else if (signal)
    s = std::string("died of signal ") + strsignal(signal);
  else if (!finished)
    s = "exited without returning";
  else
    s = "returned " + std::to_string(result);
  s += ", " + std::to_string(max_rss_kb / 1024) + " MB peak, " + std::to_string(seconds) +
       " s; stderr: " + err;
  return s;
}

namespace {

std::string ReadFd(int fd) {
  std::string text;
  char buffer[4096];
  ::lseek(fd, 0, SEEK_SET);
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<std::size_t>(n));
  return text;
}

}  // namespace

ChildRun RunInChild(const std::function<int()>& work, const ChildOptions& options) {
  ChildRun run;
  char err_path[] = "/tmp/barpost_child_err_XXXXXX";
  int err_fd = ::mkstemp(err_path);
  if (err_fd < 0) return run;
  ::unlink(err_path);
  int result_pipe[2];
  if (::pipe(result_pipe) != 0) {
    ::close(err_fd);
    return run;
  }

  std::fflush(nullptr);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = ::fork();
  if (pid == 0) {
    ::close(result_pipe[0]);
    ::dup2(err_fd, STDERR_FILENO);
    if (options.unprivileged && ::geteuid() == 0) {
      if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(126);
    }
    if (options.file_size_limit > 0) {
      ::signal(SIGXFSZ, SIG_IGN);
      struct rlimit limit = {static_cast<rlim_t>(options.file_size_limit),
                             static_cast<rlim_t>(options.file_size_limit)};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(124);
    }
    int result = work();
    std::fflush(nullptr);
    ssize_t written = ::write(result_pipe[1], &result, sizeof result);
    ::_exit(written == sizeof result ? 0 : 125);
  }
  ::close(result_pipe[1]);
  if (pid < 0) {
    ::close(result_pipe[0]);
    ::close(err_fd);
    return run;
  }

  int status = 0;
  struct rusage usage {};
  const auto limit = std::chrono::duration<double>(options.timeout_seconds);
  while (true) {
    pid_t done = ::wait4(pid, &status, WNOHANG, &usage);
    if (done == pid) break;
    if (std::chrono::steady_clock::now() - start > limit) {
      ::kill(pid, SIGKILL);
      ::wait4(pid, &status, 0, &usage);
      run.timed_out = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.max_rss_kb = usage.ru_maxrss;
  if (WIFSIGNALED(status) && !run.timed_out) run.signal = WTERMSIG(status);
  int result = 0;
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
      ::read(result_pipe[0], &result, sizeof result) == sizeof result) {
    run.finished = true;
    run.result = result;
  }
  ::close(result_pipe[0]);
  run.err = ReadFd(err_fd);
  ::close(err_fd);
  return run;
}

}  // namespace hardening
