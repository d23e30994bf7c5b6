#include "app/WindowProgram.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include <unistd.h>

namespace {

const char selfLink[] = "/proc/self/exe";

/// The window program in the directory of the running executable, as bytes; empty with errno set
/// when that directory cannot be told. The executable's own path, not argv[0], which names
/// whatever the caller typed, through PATH or a link.
std::string windowProgramPath()
{
    std::string self(PATH_MAX, '\0');
    const ssize_t length = ::readlink(selfLink, self.data(), self.size());
    if (length < 0)
        return {};
    if (std::size_t(length) >= self.size()) {
        errno = ENAMETOOLONG;
        return {};
    }
    self.resize(std::size_t(length));
    return self.substr(0, self.rfind('/') + 1) + JCT_WINDOW_PROGRAM;
}

} // namespace

int WindowProgram::handOver(char **argv)
{
    const std::string program = windowProgramPath();
    if (!program.empty())
        ::execv(program.c_str(), argv);
    const int error = errno;
    std::fprintf(stderr,
                 "Cannot show the window: %s cannot be started (%s). Use --nogui to run a command "
                 "in the console (--help lists them).\n",
                 program.empty() ? selfLink : program.c_str(),
                 std::strerror(error));
    return 1;
}
