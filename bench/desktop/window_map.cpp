// Starts a program and times it until the X server maps its first top-level
// window, then reports its memory after a settling pause and ends it.
//
//   kivo_bench_window_map SETTLE_MS PROGRAM [ARGUMENTS...]
//
// Prints "map_seconds vm_hwm_kib vm_rss_kib" on success. The map is seen as a
// MapNotify on the root window (the window manager's frame, or the window
// itself without one) whose tree holds a window with the child's _NET_WM_PID:
// the moment the window appears, measured by the server rather than by
// polling.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace {

constexpr int kMapTimeoutMs = 60000;
// A player that ignores SIGTERM is killed after this.
constexpr int kExitTimeoutMs = 3000;

double NowSeconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

bool HasPid(Display* display, Window window, Atom pid_atom, pid_t pid) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  bool match = false;
  if (XGetWindowProperty(display, window, pid_atom, 0, 1, False, XA_CARDINAL,
                         &type, &format, &count, &after, &data) == Success &&
      data != nullptr) {
    match = format == 32 && count == 1 &&
            static_cast<pid_t>(*reinterpret_cast<long*>(data)) == pid;
  }
  if (data != nullptr) XFree(data);
  return match;
}

// The window manager puts the program's window one or two levels below the
// frame it maps.
bool TreeHasPid(Display* display, Window window, Atom pid_atom, pid_t pid,
                int depth) {
  if (HasPid(display, window, pid_atom, pid)) return true;
  if (depth == 0) return false;
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, window, &root, &parent, &children, &count)) {
    return false;
  }
  bool found = false;
  for (unsigned int i = 0; i < count && !found; ++i) {
    found = TreeHasPid(display, children[i], pid_atom, pid, depth - 1);
  }
  if (children != nullptr) XFree(children);
  return found;
}

// Waits for the map of a window of `pid`; false when the program ended (then
// `ended` is set: it has been reaped) or the time ran out first.
bool WaitForMap(Display* display, pid_t pid, bool& ended) {
  Atom pid_atom = XInternAtom(display, "_NET_WM_PID", False);
  const double deadline = NowSeconds() + kMapTimeoutMs / 1000.0;
  pollfd x_fd{ConnectionNumber(display), POLLIN, 0};
  while (NowSeconds() < deadline) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify && !event.xmap.override_redirect &&
          TreeHasPid(display, event.xmap.window, pid_atom, pid, 3)) {
        return true;
      }
    }
    if (waitpid(pid, nullptr, WNOHANG) == pid) {
      ended = true;
      return false;
    }
    poll(&x_fd, 1, 50);
  }
  return false;
}

long StatusKib(pid_t pid, const std::string& key) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(key + ":", 0) == 0) {
      return std::strtol(line.c_str() + key.size() + 1, nullptr, 10);
    }
  }
  return -1;
}

void EndChild(pid_t pid) {
  kill(pid, SIGTERM);
  for (int waited_ms = 0; waited_ms < kExitTimeoutMs; waited_ms += 20) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s SETTLE_MS PROGRAM [ARGUMENTS...]\n",
                 argv[0]);
    return 2;
  }
  const int settle_ms = std::atoi(argv[1]);
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "window_map: no X display\n");
    return 2;
  }
  // Listening before the start, so that no map can slip past.
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  XSync(display, False);
  const double start_s = NowSeconds();
  const pid_t pid = fork();
  if (pid == 0) {
    close(ConnectionNumber(display));
    execvp(argv[2], argv + 2);
    _exit(127);
  }
  bool ended = false;
  if (!WaitForMap(display, pid, ended)) {
    std::fprintf(stderr, "window_map: %s mapped no window\n", argv[2]);
    if (!ended) EndChild(pid);
    return 1;
  }
  const double map_s = NowSeconds() - start_s;
  std::this_thread::sleep_for(std::chrono::milliseconds(settle_ms));
  const long hwm_kib = StatusKib(pid, "VmHWM");
  const long rss_kib = StatusKib(pid, "VmRSS");
  EndChild(pid);
  XCloseDisplay(display);
  std::printf("%.4f %ld %ld\n", map_s, hwm_kib, rss_kib);
  return 0;
}
