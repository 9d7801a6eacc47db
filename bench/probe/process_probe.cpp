// Times whole processes as a user meets them, for scripts/bench-process:
//
//   mdk_process_probe map PROGRAM [ARG]...
//     starts PROGRAM and prints "PID MS": the time from just before its exec to
//     the first MapNotify of a top-level window that carries its _NET_WM_PID.
//     The program is left running.
//   mdk_process_probe open FILE PROGRAM [ARG]...
//     starts PROGRAM and prints "STATUS OWN_MS OPEN_MS": its exit status, its
//     own wall time, and the time from just before its exec to the first open
//     of FILE by anyone (inotify IN_OPEN).
//   mdk_process_probe run PROGRAM [ARG]...
//     starts PROGRAM and prints "STATUS OWN_MS".
//   mdk_process_probe cpu PID
//     prints the CPU time that process PID has used so far, all its threads
//     (ended ones too), in nanoseconds.
//
// Both measure from the parent's clock read right before posix_spawn, so the
// figures include the exec and the dynamic loader, as a user's launch does.
#include <xcb/xcb.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/inotify.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kBound = std::chrono::seconds(20);

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "mdk_process_probe: %s\n", message.c_str());
  std::exit(2);
}

double MsSince(Clock::time_point start, Clock::time_point end) {
  return std::chrono::duration<double, std::milli>(end - start).count();
}

pid_t Spawn(char** argv) {
  // The program writes to our stderr: our stdout carries only the figures, and
  // a reader of it must not wait for the program, which may outlive us.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, STDERR_FILENO, STDOUT_FILENO);
  pid_t pid = 0;
  const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0)
    Fail(std::string("cannot start ") + argv[0] + ": " + std::strerror(error));
  return pid;
}

int LeftMs(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? int(left.count()) : 0;
}

struct XcbFree {
  void operator()(void* p) const { std::free(p); }
};
template <typename T> using XcbReply = std::unique_ptr<T, XcbFree>;

xcb_atom_t Atom(xcb_connection_t* x, const char* name) {
  XcbReply<xcb_intern_atom_reply_t> reply(
      xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, std::strlen(name), name), nullptr));
  if (!reply)
    Fail(std::string("no atom ") + name);
  return reply->atom;
}

std::optional<pid_t> WindowPid(xcb_connection_t* x, xcb_window_t window, xcb_atom_t pidAtom) {
  XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
      x, xcb_get_property(x, 0, window, pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr));
  if (!reply || xcb_get_property_value_length(reply.get()) < 4)
    return std::nullopt;
  return pid_t(*static_cast<const uint32_t*>(xcb_get_property_value(reply.get())));
}

int Map(char** argv) {
  xcb_connection_t* x = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(x))
    Fail("cannot connect to the display in DISPLAY");
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
  const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  if (std::unique_ptr<xcb_generic_error_t, XcbFree> error{xcb_request_check(
          x, xcb_change_window_attributes_checked(x, root, XCB_CW_EVENT_MASK, &mask))})
    Fail("cannot watch the root window");
  const xcb_atom_t pidAtom = Atom(x, "_NET_WM_PID");

  const Clock::time_point start = Clock::now();
  const pid_t pid = Spawn(argv);
  const Clock::time_point deadline = start + kBound;
  pollfd display{xcb_get_file_descriptor(x), POLLIN, 0};
  for (;;) {
    while (std::unique_ptr<xcb_generic_event_t, XcbFree> event{xcb_poll_for_event(x)}) {
      if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY)
        continue;
      const Clock::time_point mapped = Clock::now();
      const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event.get());
      if (map->override_redirect || WindowPid(x, map->window, pidAtom) != pid)
        continue;
      std::printf("%d %.3f\n", int(pid), MsSince(start, mapped));
      xcb_disconnect(x);
      return 0;
    }
    if (xcb_connection_has_error(x))
      Fail("lost the display");
    if (waitpid(pid, nullptr, WNOHANG) == pid)
      Fail(std::string(argv[0]) + " ended before it mapped a window");
    if (LeftMs(deadline) == 0)
      Fail(std::string(argv[0]) + " mapped no window in time");
    poll(&display, 1, std::min(LeftMs(deadline), 100));
  }
}

// Without a file, only the launch's own time is taken.
int Open(const char* file, char** argv) {
  const int watch = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  if (watch < 0 || (file != nullptr && inotify_add_watch(watch, file, IN_OPEN) < 0))
    Fail(std::string("cannot watch ") + (file ? file : "") + ": " + std::strerror(errno));
  const Clock::time_point start = Clock::now();
  const pid_t pid = Spawn(argv);
  // Through syscall: glibc's header declares pidfd_open without C linkage.
  const int exited = int(syscall(SYS_pidfd_open, pid, 0));
  if (exited < 0)
    Fail(std::string("cannot follow the started process: ") + std::strerror(errno));
  const Clock::time_point deadline = start + kBound;
  std::optional<Clock::time_point> ended, opened;
  if (file == nullptr)
    opened = start;
  int status = 0;
  pollfd fds[2] = {{watch, POLLIN, 0}, {exited, POLLIN, 0}};
  while (!ended || !opened) {
    if (LeftMs(deadline) == 0)
      Fail(std::string(ended ? "nobody opened " : "the launch did not end: ") +
           (ended ? file : argv[0]));
    poll(fds, 2, LeftMs(deadline));
    const Clock::time_point now = Clock::now();
    if (!opened && (fds[0].revents & POLLIN))
      opened = now;
    if (!ended && (fds[1].revents & POLLIN)) {
      ended = now;
      waitpid(pid, &status, 0);
      fds[1].fd = -1;
    }
  }
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (file == nullptr)
    std::printf("%d %.3f\n", code, MsSince(start, *ended));
  else
    std::printf("%d %.3f %.3f\n", code, MsSince(start, *ended), MsSince(start, *opened));
  return 0;
}

} // namespace

int Cpu(const char* pid) {
  clockid_t clock{};
  timespec used{};
  if (clock_getcpuclockid(pid_t(std::atoi(pid)), &clock) != 0 || clock_gettime(clock, &used) != 0)
    Fail(std::string("cannot read the CPU time of process ") + pid);
  std::printf("%lld\n", (long long)used.tv_sec * 1'000'000'000LL + used.tv_nsec);
  return 0;
}

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "map" && argc > 2)
    return Map(argv + 2);
  if (mode == "open" && argc > 3)
    return Open(argv[2], argv + 3);
  if (mode == "run" && argc > 2)
    return Open(nullptr, argv + 2);
  if (mode == "cpu" && argc == 3)
    return Cpu(argv[2]);
  std::fprintf(stderr, "usage: mdk_process_probe map PROGRAM [ARG]...\n"
                       "       mdk_process_probe open FILE PROGRAM [ARG]...\n"
                       "       mdk_process_probe run PROGRAM [ARG]...\n"
                       "       mdk_process_probe cpu PID\n");
  return 2;
}
