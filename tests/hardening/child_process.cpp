#include "child_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace hardening {

namespace {

std::map<std::string, ChildTask>& Tasks() {
  static std::map<std::string, ChildTask> tasks;
  return tasks;
}

int RunTask(const std::string& name, const ChildArgs& args) {
  auto it = Tasks().find(name);
  if (it == Tasks().end()) {
    std::fprintf(stderr, "no child task named %s\n", name.c_str());
    return -1;
  }
  return it->second(args);
}

constexpr const char kTaskFlag[] = "--barpost-child-task";

}  // namespace

ChildTaskName::ChildTaskName(const char* name, ChildTask task) { Tasks()[name] = task; }

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
  if (timed_out) {
    s = "hung (killed after the time limit)";
  } else if (signal) {
#ifdef _WIN32
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(signal));
    s = std::string("died of exception ") + code;
#else
    s = std::string("died of signal ") + strsignal(signal);
#endif
  } else if (!finished) {
    s = "exited without returning";
  } else {
    s = "returned " + std::to_string(result);
  }
  s += ", " + std::to_string(max_rss_kb / 1024) + " MB peak, " + std::to_string(seconds) +
       " s; stderr: " + err;
  return s;
}

#ifdef _WIN32

namespace {

// One argument of a command line, quoted as the C runtime splits it again.
std::string Quoted(const std::string& arg) {
  std::string out = "\"";
  std::size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') backslashes = backslashes * 2 + 1;
    out.append(backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');
  return out + "\"";
}

std::string SelfPath() {
  char buffer[MAX_PATH + 1] = {0};
  GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  return buffer;
}

std::string TempFile(const char* prefix) {
  char dir[MAX_PATH + 1] = {0};
  char path[MAX_PATH + 1] = {0};
  GetTempPathA(MAX_PATH, dir);
  GetTempFileNameA(dir, prefix, 0, path);
  return path;
}

std::string ReadFileText(const std::string& path) {
  std::string text;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    std::fclose(f);
  }
  return text;
}

std::string CommandLine(const std::string& task, const std::string& result_file,
                        const ChildArgs& args) {
  std::string line = Quoted(SelfPath()) + " " + kTaskFlag + " " + Quoted(task) + " " +
                     Quoted(result_file);
  for (const std::string& arg : args) line += " " + Quoted(arg);
  return line;
}

// Starts the test program on the task, suspended, with standard error to
// err (when given) and nothing on standard input and output.
bool Spawn(const std::string& command, HANDLE err, PROCESS_INFORMATION* process) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           &inherit, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nul;
  startup.hStdOutput = nul;
  startup.hStdError = err ? err : nul;
  std::string line = command;
  std::fflush(nullptr);
  BOOL ok = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED,
                           nullptr, nullptr, &startup, process);
  CloseHandle(nul);
  return ok != FALSE;
}

}  // namespace

ChildRun RunInChild(const std::string& task, const ChildArgs& args, const ChildOptions& options) {
  ChildRun run;
  const std::string err_path = TempFile("err");
  const std::string result_path = TempFile("res");
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE err = CreateFileA(err_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
  const auto start = std::chrono::steady_clock::now();
  PROCESS_INFORMATION process{};
  if (!Spawn(CommandLine(task, result_path, args), err, &process)) {
    CloseHandle(err);
    DeleteFileA(err_path.c_str());
    DeleteFileA(result_path.c_str());
    run.err = "CreateProcess failed";
    return run;
  }
  CloseHandle(err);
  // The job ends the child and all it started when the time is up, and
  // keeps the peak of its memory.
  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  bool in_job = job && SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits,
                                                sizeof limits) &&
                AssignProcessToJobObject(job, process.hProcess);
  ResumeThread(process.hThread);
  DWORD limit = static_cast<DWORD>(options.timeout_seconds * 1000);
  if (WaitForSingleObject(process.hProcess, limit) == WAIT_TIMEOUT) {
    if (in_job)
      TerminateJobObject(job, 1);
    else
      TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, INFINITE);
    run.timed_out = true;
  }
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory))
    run.max_rss_kb = static_cast<long>(memory.PeakWorkingSetSize / 1024);
  if (in_job && QueryInformationJobObject(job, JobObjectExtendedLimitInformation, &limits,
                                          sizeof limits, nullptr)) {
    long peak = static_cast<long>(limits.PeakProcessMemoryUsed / 1024);
    if (peak > run.max_rss_kb) run.max_rss_kb = peak;
  }
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  const std::string result = ReadFileText(result_path);
  if (!run.timed_out && code == 0 && result.size() == sizeof(int)) {
    run.finished = true;
    std::memcpy(&run.result, result.data(), sizeof(int));
  } else if (!run.timed_out && code >= 0xC0000000u) {
    run.signal = static_cast<int>(code);
  }
  run.err = ReadFileText(err_path);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (job) CloseHandle(job);
  DeleteFileA(err_path.c_str());
  DeleteFileA(result_path.c_str());
  return run;
}

namespace {
constexpr const char kReadyVariable[] = "BARPOST_CHILD_READY";
}

ChildProcess::~ChildProcess() {
  if (process_) {
    Kill();
    Wait();
  }
}

bool ChildProcess::Start(const std::string& task, const ChildArgs& args) {
  static int counter = 0;
  const std::string name = "barpost-child-ready-" + std::to_string(GetCurrentProcessId()) + "-" +
                           std::to_string(++counter);
  HANDLE ready = CreateEventA(nullptr, FALSE, FALSE, name.c_str());
  SetEnvironmentVariableA(kReadyVariable, name.c_str());
  PROCESS_INFORMATION process{};
  bool started = Spawn(CommandLine(task, "-", args), nullptr, &process);
  SetEnvironmentVariableA(kReadyVariable, nullptr);
  if (!started) {
    CloseHandle(ready);
    return false;
  }
  ResumeThread(process.hThread);
  CloseHandle(process.hThread);
  process_ = process.hProcess;
  ready_ = ready;
  HANDLE both[] = {ready, process.hProcess};
  return WaitForMultipleObjects(2, both, FALSE, 60000) == WAIT_OBJECT_0;
}

void ChildProcess::Kill() {
  if (process_) TerminateProcess(static_cast<HANDLE>(process_), 9);
}

int ChildProcess::Wait() {
  if (!process_) return -1;
  WaitForSingleObject(static_cast<HANDLE>(process_), INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(static_cast<HANDLE>(process_), &code);
  CloseHandle(static_cast<HANDLE>(process_));
  CloseHandle(static_cast<HANDLE>(ready_));
  process_ = ready_ = nullptr;
  return static_cast<int>(code);
}

void ChildReady() {
  char name[128] = {0};
  if (!GetEnvironmentVariableA(kReadyVariable, name, sizeof name)) return;
  if (HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, name)) {
    SetEvent(ready);
    CloseHandle(ready);
  }
}

bool ChangeDirectory(const std::string& dir) { return SetCurrentDirectoryA(dir.c_str()) != FALSE; }

namespace {

// The child's side: runs the task and leaves its result in the result file.
int ChildMain(int argc, char** argv) {
  const std::string task = argv[2];
  const std::string result_path = argv[3];
  ChildArgs args(argv + 4, argv + argc);
  int result = RunTask(task, args);
  std::fflush(nullptr);
  if (result_path != "-") {
    std::FILE* f = std::fopen(result_path.c_str(), "wb");
    if (!f || std::fwrite(&result, sizeof result, 1, f) != 1) _exit(125);
    std::fclose(f);
    _exit(0);
  }
  _exit(result);
}

}  // namespace

#else  // POSIX

namespace {

std::string ReadFd(int fd) {
  std::string text;
  char buffer[4096];
  ::lseek(fd, 0, SEEK_SET);
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<std::size_t>(n));
  return text;
}

int g_ready_fd = -1;  // the child's end of ChildProcess's pipe

}  // namespace

ChildRun RunInChild(const std::string& task, const ChildArgs& args, const ChildOptions& options) {
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
    int result = RunTask(task, args);
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

ChildProcess::~ChildProcess() {
  if (pid_ > 0) {
    Kill();
    Wait();
  }
}

bool ChildProcess::Start(const std::string& task, const ChildArgs& args) {
  int ready[2];
  if (::pipe(ready) != 0) return false;
  std::fflush(nullptr);
  pid_t pid = ::fork();
  if (pid == 0) {
    ::close(ready[0]);
    g_ready_fd = ready[1];
    ::_exit(RunTask(task, args));
  }
  ::close(ready[1]);
  if (pid < 0) {
    ::close(ready[0]);
    return false;
  }
  pid_ = pid;
  char c = 0;
  bool signalled = ::read(ready[0], &c, 1) == 1;
  ::close(ready[0]);
  return signalled;
}

void ChildProcess::Kill() {
  if (pid_ > 0) ::kill(pid_, SIGKILL);
}

int ChildProcess::Wait() {
  if (pid_ <= 0) return -1;
  int status = 0;
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void ChildReady() {
  if (g_ready_fd < 0) return;
  char c = 1;
  if (::write(g_ready_fd, &c, 1) != 1) ::_exit(3);
}

bool ChangeDirectory(const std::string& dir) { return ::chdir(dir.c_str()) == 0; }

namespace {
int ChildMain(int, char**) { return 2; }  // POSIX children are forked
}  // namespace

#endif

}  // namespace hardening

// The hardening tests' main: a child started on a task runs it and ends;
// otherwise the tests run.
int main(int argc, char** argv) {
  if (argc >= 4 && std::strcmp(argv[1], hardening::kTaskFlag) == 0)
    return hardening::ChildMain(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
