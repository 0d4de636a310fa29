// The keys of the project file that kqc reads (docs/project-file.md); the
// file's syntax is read by the reader kqc shares with kqlink.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kqlink {
struct ProjectFile;
}

namespace kqc {

struct ProjectFileType {
    std::string name, typeCode, creatorCode;
};

struct Project {
    enum class Kind { Gui, Console };

    std::string path;
    uint32_t fileId = 0; // the project file in the compilation's SourceSet, for messages
    std::string name;
    Kind kind = Kind::Gui;
    std::string applicationClass;
    std::string defaultWindow;        // may be empty
    std::string menuBar;              // may be empty
    std::vector<std::string> sources; // paths, in the order given
    std::vector<ProjectFileType> fileTypes;
    // The manifests of the `plugin` libraries, found as kqlink finds the
    // libraries (beside the project file, then in the installed plug-in
    // folder): read after the installed runtime manifest when the command
    // line names no manifest.
    std::vector<std::string> pluginManifests;
};

// Reads the project file; false with messages ("path: message") when it
// cannot be read or its kqc keys are not valid. Plug-in manifests are also
// looked for in the installed plug-in folder.
bool loadProject(const std::string &path, Project *project, std::vector<std::string> *errors);

// The kqc keys of an already parsed file.
bool interpretProject(const kqlink::ProjectFile &file, const std::string &path, Project *project,
                      std::vector<std::string> *errors);

} // namespace kqc
