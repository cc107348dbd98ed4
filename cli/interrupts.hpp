// An interrupted run leaves no temporary file behind.
#pragma once

namespace zerkon::cli {

// Removes the temporary file a replacement is writing now, if there is one. Safe in a signal handler, and on the
// thread where Windows runs a console's handler while the replacement goes on writing.
void removeTemporaryFileInProgress() noexcept;

// From now on an interrupt removes the temporary file in progress, and then ends the process as it would have: SIGINT,
// SIGTERM and SIGHUP; on Windows Ctrl+C, Ctrl+Break, the console window closed, a logoff or a shutdown.
void removeTemporaryFileOnInterrupt();

} // namespace zerkon::cli
