// Shell commands: a command line run by /bin/bash -c with its standard
// output and standard error on a pipe. A captured command is read to its end
// and waited for; one that is not captured runs on by itself, and a polled
// background task (once a second) collects it when it has ended. Text put
// into a command must be quoted with ShellQuote (ExecutablePath.h).
#pragma once

#include <string>

namespace shell {

// Runs `command`; with `capture`, returns everything it wrote once it has
// ended, otherwise "" at once. A failed pipe gives "".
std::string Run(const std::string &command, bool capture);

// How many children that were not captured are still to be collected.
unsigned PendingChildren();

} // namespace shell
