// orvane-server --hash-password: reads one password from standard input (without echo when it
// is a terminal) and prints its hash for an accounts file on standard output. Main thread.
#pragma once

namespace server::accounts {

// Returns the process's exit code: 0, or 1 after saying on standard error why there is no hash
// (an empty password, no input, no memory).
int RunHashPassword();

}  // namespace server::accounts
