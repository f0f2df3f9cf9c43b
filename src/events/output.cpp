#include "events/output.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <mutex>

namespace {

using namespace std::chrono_literals;

int eventDescriptor = STDOUT_FILENO;

// Held from the first byte of a line to its last, and for good once the process exits.
std::timed_mutex lineMutex;

// How long an exit waits for a line in progress. A host that stopped reading must not hold the
// process past its deadline.
constexpr auto lineInProgressWait = 100ms;

void openNullWhereClosed() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    // The lowest free descriptor is `fd` itself, since every lower one is open.
    if (fcntl(fd, F_GETFD) == -1) open("/dev/null", O_RDWR);
  }
}

void waitUntilWritable(int fd) {
  pollfd writable{fd, POLLOUT, 0};
  poll(&writable, 1, -1);
}

void writeAll(std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = write(eventDescriptor, bytes.data(), bytes.size());
    if (written > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(written));
    } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      waitUntilWritable(eventDescriptor);
    } else if (written < 0 && errno != EINTR) {
      return;
    }
  }
}

}  // namespace

void claimStandardOutput() {
  // A host that closes its end must cost us lines, not the process.
  signal(SIGPIPE, SIG_IGN);
  openNullWhereClosed();
  eventDescriptor = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
  dup2(null, STDOUT_FILENO);
  dup2(null, STDERR_FILENO);
  close(null);
}

void writeLine(std::string_view line) {
  std::lock_guard lock(lineMutex);
  writeAll(line);
}

void exitAfterLine(std::optional<std::string_view> line, int status) {
  if (lineMutex.try_lock_for(lineInProgressWait) && line) writeAll(*line);
  _exit(status);
}
