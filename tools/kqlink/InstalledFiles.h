// The runtime's files as an installation lays them out beside the tools:
// kqc reads the installed runtime manifest and kqlink --package copies the
// installed runtime executable when the command line names none; both look
// for a project's plug-ins (kqlink the libraries, kqc their manifests) in
// the installed plug-in folder after the project's own folder. All are
// found relative to the folder of the running tool, not to a prefix fixed
// at build time, so a moved or staged installation finds its own files.
#pragma once

#include <string>

namespace kqlink {

// The installed runtime manifest (share/pillwerk/runtime.manifest).
std::string InstalledRuntimeManifest();
// The installed runtime executable (lib/pillwerk/kqrun).
std::string InstalledRuntime();
// The installed plug-in folder (lib/pillwerk/plugins).
std::string InstalledPluginFolder();

} // namespace kqlink
