// The project file (docs/project-file.md): `key = value` lines that kqc and
// kqlink both read. kqlink takes from it the resources, plug-in libraries,
// icons and version record, and turns them into the rsrc and options
// members.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kqlink {

struct ProjectFile {
    // Every `key = value` line in order, keys lower-cased, values trimmed.
    std::vector<std::pair<std::string, std::string>> entries;
    std::string folder; // relative file names are taken from here
    // Where a `plugin` given by its bare file name is looked for first, in
    // order (kqlink --plugin-dir): plug-ins are build products, and a build
    // tree's folder is no business of the project file.
    std::vector<std::string> pluginFolders;
    // Where a bare plug-in name is looked for last, after the project's own
    // folder (the installed plug-in folder); empty for none.
    std::string installedPluginFolder;

    // Reads and parses; throws LinkError naming file and line.
    static ProjectFile Load(const std::string &path);
    static ProjectFile Parse(const std::string &text, const std::string &path,
                             const std::string &folder);
    std::vector<std::string> All(const std::string &key) const;
    std::string Path(const std::string &relative) const;
    // The file of a `plugin` line: a name with a folder is Path(); a bare
    // name is the first existing file of that name in pluginFolders, beside
    // the project file or in installedPluginFolder. Throws LinkError when
    // there is none.
    std::string PluginPath(const std::string &file) const;
    // The manifest of the classes of a `plugin` line's library: the file
    // beside it with ".manifest" in place of ".so" (libX.so, libX.manifest),
    // looked for like the library; when there is none, the last place
    // looked at, so that reading it names where it was expected.
    std::string PluginManifestPath(const std::string &plugin) const;
};

// The rsrc member: `resource` lines in order, then one `KQPl` record per
// `plugin` line (ids 65535, 65534, ...).
std::vector<uint8_t> BuildResources(const ProjectFile &project);

// The options member: one icon record per `icon` line (PNG files), then the
// version record when any `version.*` key is given.
std::vector<uint8_t> BuildOptions(const ProjectFile &project);

} // namespace kqlink
