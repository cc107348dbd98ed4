#include "console.hpp"

#include "progress.hpp"

#include <zerkon/outcome.hpp>

#include <cstdio>
#include <ostream>
#include <utility>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace zerkon::cli {

WaitingSaid::WaitingSaid(Console& console, Progress* progress)
    : previous_(setFolderWaitNotice([&console, progress](const std::string& folder) {
          if (progress) progress->clear();
          console.err << "zerkon-cli: waiting for another run on the folder " << quoted(folder) << " to finish"
                      << std::endl;
      })) {}

WaitingSaid::~WaitingSaid() { setFolderWaitNotice(std::move(previous_)); }

bool standardErrorIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

} // namespace zerkon::cli
