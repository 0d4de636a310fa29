// The runtime's files as an installation lays them out beside the tools:
// kqc reads the installed runtime manifest and kqlink --package copies the
// installed runtime executable when the command line names none. Both are
// found relative to the folder of the running tool, not to a prefix fixed
// at build time, so a moved or staged installation finds its own files.
#pragma once

#include <string>

namespace kqlink {

// The installed runtime manifest (share/pillwerk/runtime.manifest).
std::string InstalledRuntimeManifest();
// The installed runtime executable (lib/pillwerk/kqrun).
std::string InstalledRuntime();

} // namespace kqlink
