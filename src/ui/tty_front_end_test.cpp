// The terminal front end as an operator meets it: each case runs "Setup
// machine" in a child process on a pseudo-terminal, types a script into it
// and reads back the screens and the answer.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/front_end.h"
#include "ui/setup.h"
#include "ui/setup_test_util.h"

namespace {

enum Terminal { kControlling, kNotStdin, kNone };  // the child's terminal, and its standard input

struct Case {
  const char* env;     // "NAME=value ..." for the child
  Terminal terminal;
  int cols, rows;      // the terminal's size
  int holes;           // hole types of the job: the first five, then one per size from 30
  const char* script;  // what is typed; the end of input (Ctrl-D) follows
  const char* answer;  // front end, the result of each dialog, the six sizes
  std::vector<const char*> seen;  // on the terminal, in this order
};

// The child, on the pseudo-terminal slave: a message, then "Setup machine"
// once and once more after each end of input in the script, then the answer.
[[noreturn]] void RunDialogs(const Case& c, int slave) {
  setsid();
  if (c.terminal != kNone) ioctl(slave, TIOCSCTTY, 0);
  dup2(c.terminal == kNotStdin ? open("/dev/null", O_RDONLY) : slave, 0);
  dup2(slave, 1);
  dup2(slave, 2);
  for (const char* name :
       {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "BARPOST_UI", "NO_COLOR"})
    unsetenv(name);
  std::istringstream env(c.env);
  for (std::string word; env >> word;) putenv(strdup(word.c_str()));
  SetUnits({{"1", "12", "18"}, {"1", "13", "26"}, {"2", "14", "22X60-45"}, {"2", "15", ""},
            {"", "", "9"}, {"1", "0", "13.5"}});
  const Cam_Hole first[] = {Hole(0, 18), Hole(0, 22), Hole(1, 22, 4, 60, -135), Hole(1, 24),
                            Hole(0, 13.5)};
  CSetup setup;
  for (int i = 0; i < c.holes; ++i) setup.AddHole(i < 5 ? first[i] : Hole(i % 2, 25 + i));
  ShowMessage("Middle remnant will be used", MessageIcon::kWarning);
  std::string answer = std::string("\n= ") + FrontEnd().Name(), script = c.script;
  for (auto n = std::count(script.begin(), script.end(), '\4'); n >= 0; --n)
    answer += setup.DoModal() == IDOK ? " OK" : " Cancel";
  FrontEnd().RunOptionSheet(g_options, "M1");
  for (int i = 0; i < CSetup::kUnits; ++i) answer += " [" + setup.SizeText(i) + "]";
  (void)!write(1, answer.data(), answer.size());
  _exit(0);
}

// Runs c: what the terminal showed, up to the child's answer, and the answer.
std::string Type(const Case& c, std::string& answer) {
  int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return "";
  int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
  termios t{};
  tcgetattr(slave, &t);
  t.c_lflag &= ~ECHO;   // the script is not echoed,
  t.c_oflag &= ~OPOST;  // lines end in "\n" only,
  t.c_iflag &= ~ICRNL;  // and a typed "\r" reaches the program
  tcsetattr(slave, TCSANOW, &t);
  winsize size{static_cast<unsigned short>(c.rows), static_cast<unsigned short>(c.cols), 0, 0};
  ioctl(slave, TIOCSWINSZ, &size);
  pid_t pid = fork();
  if (pid == 0) RunDialogs(c, slave);
  close(slave);
  std::string screen = std::string(c.script) + "\4";  // Ctrl-D: the end of input
  (void)!write(master, screen.data(), screen.size());
  screen.clear();
  char buffer[4096];
  pollfd ready{master, POLLIN, 0};
  for (ssize_t n; screen.size() < 1000000 && poll(&ready, 1, 10000) > 0 &&
                  (n = read(master, buffer, sizeof buffer)) > 0;)
    screen.append(buffer, static_cast<std::size_t>(n));  // a mutant may loop drawing screens
  kill(pid, SIGKILL);  // one that still waits for input has failed already
  waitpid(pid, nullptr, 0);
  close(master);
  std::size_t end = screen.rfind("\n= ");
  answer = end == std::string::npos ? "(none)" : screen.substr(end + 3);
  return screen.substr(0, end);
}

// Each script starts with the line that dismisses the message.
TEST(TtyFrontEndTest, KeystrokeScripts) {
  const Case cases[] = {
      // The whole terminal, when the end of input follows the message at once.
      {"BARPOST_UI=Tty TERM=dumb", kNotStdin, 80, 24, 5, "x\n",
       "tty Cancel [18] [26] [22X60-45] [] [9] [13.5]",
       {"Warning: Middle remnant will be used\nPress Enter \nSetup machine %00001\n\n"
        "Setup                                 Program\n"
        " #  Level Unit   Diameter                #  Level Diameter           Fit\n"
        " 1  FL    M12    18                      1  FL    18                 fits\n"
        " 2  FL    M13    26                      2  FL    22                 no unit\n"
        " 3  NL    M14    22X60-45                3  NL    22X60-45           fits\n"
        " 4  NL    M15                            4  NL    24                 no unit\n"
        " 5        *      --                      5  FL    13.5               fits\n"
        " 6  FL    *      13.5\n\n"
        "2 of 5 hole types fit no unit: FL 22, NL 24.\nStatus: Metrique    OK disabled\n"
        "<unit> <size> | o ok | c cancel | ? help\n> \nCancelled (end of input).\n"
        "The option sheet needs a window; run with BARPOST_UI=gui.\n"}},
      // Narrow: one table after the other, pages of as many hole types as fit;
      // the next dialog starts again on the first page.
      {"BARPOST_UI=tty TERM=dumb", kControlling, 75, 24, 24,
       "\np\nn\nn\nn\nn\np\n?\nn\n  \n5 3\n2 22\n4 24\no\n\4",
       "tty Cancel Cancel [18] [22] [22X60-45] [24] [9] [13.5]",
       {"\nSetup\n#  Level Unit   Diameter\n1  FL    M12    18\n",
        "13.5\n\nProgram (hole types 1-6 of 24; n/p pages)\n   #  Level Diameter           Fit\n"
        "   1  FL    18                 fits\n",
        "types 1-6 of", "types 7-12 of", "types 13-18 of", "types 19-24 of", "types 19-24 of",
        "types 13-18 of", "types 13-16 of", "  ?, h           this help\n<unit>", "types 17-22 of",
        "types 17-22 of", "types 17-21 of", "Unit 5 has no level; its size cannot be set.\n",
        "Unit 2: \"22\".\n", "Unit 4: \"24\".\n",
        "Cannot confirm: 19 hole types fit no unit (marked \"no unit\"). Set a unit's size or "
        "cancel.",
        "> \nCancelled (end of input).\n", "types 1-6 of", "> \nCancelled (end of input).\n"}},
      // No choice at a terminal: the terminal, in colour, side by side from 76 columns.
      {"TERM=xterm", kControlling, 76, 14, 5,
       "\n3\n22X60\n1\n\nx\n9\n0\n4 22.0000X60.0000-45.00\n6 22.000X60.000-45.0\n1 none\nC\r\n",
       "tty Cancel [] [26] [22X60] [22.0000X60.0000-45.00] [9] [22.000X60.000-45.0]",
       {"Press Enter \x1b[H\x1b[2JSetup machine %00001\n\n"
        "Setup                                 Program\n",
        " 1  FL    M12    18                      1  FL    \x1b[30;42m18                \x1b[0m"
        " fits\n",
        " 2  FL    M13    26                      2  FL    \x1b[97;41m22                \x1b[0m"
        " no unit\n",
        "> Size of unit 3 (now \"22X60-45\", empty keeps it): \x1b[H", "Unit 3: \"22X60\".\n",
        "> Size of unit 1 (now \"18\", empty keeps it): \x1b[H", "Unit 1 unchanged.\n",
        "Program (hole types 1-4 of 5; n/p pages)", "Unknown command \"x\"; type ? for help.\n",
        "There is no unit 9: units are numbered 1 to 6.\n",
        "There is no unit 0: units are numbered 1 to 6.\n",
        " 4  NL    M15    22.0000X60.0000-4~      4", " 6  FL    *      22.000X60.000-45.0\n",
        "Unit 1: \"\".\n<unit> <size> | o ok | c cancel | ? help\n> Cancelled.\n"}},
      {"TERM=xterm NO_COLOR=1", kControlling, 80, 24, 5, "\n",
       "tty Cancel [18] [26] [22X60-45] [] [9] [13.5]",
       {"Press Enter \x1b[H\x1b[2J", "   1  FL    18                 fits\n"}},
      // Windows chosen where there are none: the terminal. A second dialog
      // after the end of input reads the input again.
      {"BARPOST_UI=gui TERM=dumb", kControlling, 80, 24, 5, "\n\4" "2 22\n4 24\n ok \n",
       "tty Cancel OK [18] [22] [22X60-45] [24] [9] [13.5]",
       {"> \nCancelled (end of input).\n", "Unit 2: \"22\".\n",
        "Every hole type fits a unit.\nStatus: Metrique    OK enabled\nUnit 4: \"24\".\n"
        "<unit> <size> | o ok | c cancel | ? help\n> Confirmed.\n"}},
      // A terminal that tells no size: 80 by 24, side by side.
      {"BARPOST_UI=tty TERM=dumb", kControlling, 0, 0, 0, "\n2\n",
       "tty Cancel [18] [26] [22X60-45] [] [9] [13.5]",
       {" 1  FL    M12    18                      (no holes)\n",
        "No hole types to punch.\nStatus: Metrique    OK enabled\n",
        "> Size of unit 2 (now \"26\", empty keeps it): Cancelled.\n"}},
      // Without a terminal for standard input, or without any, nobody is asked.
      {"TERM=dumb", kNotStdin, 80, 24, 5, "", "auto Cancel [18] [26] [22X60-45] [] [9] [13.5]",
       {"barpost: warning: Middle remnant will be used\n"}},
      {"BARPOST_UI=tty TERM=dumb", kNone, 80, 24, 5, "",
       "auto Cancel [18] [26] [22X60-45] [] [9] [13.5]", {}},
  };
  int pty = posix_openpt(O_RDWR | O_NOCTTY);
  if (pty < 0) GTEST_SKIP() << "no pseudo-terminal here";
  close(pty);
  for (const Case& c : cases) {
    std::string answer;
    std::string screen = Type(c, answer);
    SCOPED_TRACE(std::string(c.env) + " script \"" + c.script + "\":\n" + screen);
    EXPECT_EQ(answer, c.answer);
    std::size_t at = 0;
    for (const char* part : c.seen) {
      at = screen.find(part, at);
      ASSERT_NE(at, std::string::npos) << "not seen (in this order): " << part;
      at += std::strlen(part);
    }
  }
}

}  // namespace
