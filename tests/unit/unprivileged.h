// Running part of a test as an ordinary user: permissions do not bind the
// superuser, so a test of a read-only place run as root would prove nothing.
// Included only by tests/unit.
#pragma once
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>

namespace vusk::testing {

// The user "nobody" on Debian.
constexpr uid_t UNPRIVILEGED_ID = 65534;

// Runs `body` in a child process, as UNPRIVILEGED_ID when the tests run as
// the superuser, and returns its result; what the body changes in the
// process (its environment, the program's state) stays in the child. The
// child ends itself after `seconds`, so that a body that blocks fails instead
// of hanging. Files the body must reach need permissions for that user.
inline bool run_unprivileged(const std::function<bool()>& body, unsigned seconds = 10) {
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    alarm(seconds);
    const bool dropped = geteuid() != 0 || (setgroups(0, nullptr) == 0 && setgid(UNPRIVILEGED_ID) == 0 &&
                                            setuid(UNPRIVILEGED_ID) == 0);
    _exit(dropped && body() ? 0 : 1);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace vusk::testing
