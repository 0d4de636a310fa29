// kqc's keys of the project file (see Project.h).
#include "Project.h"

#include "ElfObject.h"
#include "InstalledFiles.h"
#include "ProjectFile.h"

namespace kqc {
namespace {

// `filetype = NAME TYPE CREATOR`; NAME may be in double quotes.
bool parseFileType(const std::string &value, ProjectFileType *out) {
    std::string name, rest;
    if (!value.empty() && value[0] == '"') {
        size_t close = value.find('"', 1);
        if (close == std::string::npos) return false;
        name = value.substr(1, close - 1);
        rest = value.substr(close + 1);
    } else {
        size_t space = value.find_first_of(" \t");
        if (space == std::string::npos) return false;
        name = value.substr(0, space);
        rest = value.substr(space);
    }
    std::vector<std::string> codes;
    for (size_t at = 0; at < rest.size();) {
        size_t start = rest.find_first_not_of(" \t", at);
        if (start == std::string::npos) break;
        size_t end = rest.find_first_of(" \t", start);
        if (end == std::string::npos) end = rest.size();
        codes.push_back(rest.substr(start, end - start));
        at = end;
    }
    if (name.empty() || codes.size() != 2 || codes[0].size() != 4 || codes[1].size() != 4)
        return false;
    *out = {name, codes[0], codes[1]};
    return true;
}

} // namespace

bool interpretProject(const kqlink::ProjectFile &file, const std::string &path, Project *project,
                      std::vector<std::string> *errors) {
    size_t before = errors->size();
    auto error = [&](const std::string &message) { errors->push_back(path + ": " + message); };
    auto single = [&](const char *key, std::string *out, bool required) {
        std::vector<std::string> values = file.All(key);
        if (values.size() > 1) error(std::string("'") + key + "' is given more than once");
        if (!values.empty() && values.back().empty())
            error(std::string("'") + key + "' needs a value");
        if (values.empty() && required) error(std::string("the project has no '") + key + "'");
        if (!values.empty()) *out = values.back();
    };
    *project = Project{};
    project->path = path;
    single("name", &project->name, true);
    single("application", &project->applicationClass, true);
    single("window", &project->defaultWindow, false);
    single("menubar", &project->menuBar, false);
    std::string kind = "gui";
    single("kind", &kind, false);
    if (kind == "console") {
        project->kind = Project::Kind::Console;
        if (!project->defaultWindow.empty() || !project->menuBar.empty()) {
            error("a console application has no 'window' or 'menubar'");
        }
    } else if (kind != "gui") {
        error("'kind' is 'gui' or 'console', not '" + kind + "'");
    }
    for (const std::string &source : file.All("source")) {
        if (source.empty()) {
            error("'source' needs a file name");
        } else {
            project->sources.push_back(file.Path(source));
        }
    }
    if (project->sources.empty()) error("the project has no 'source' files");
    for (const std::string &value : file.All("filetype")) {
        ProjectFileType type;
        if (parseFileType(value, &type)) {
            project->fileTypes.push_back(type);
        } else {
            error("'filetype = " + value + "' is not NAME TYPE CREATOR with four-character codes");
        }
    }
    for (const std::string &plugin : file.All("plugin")) {
        if (plugin.empty()) {
            error("'plugin' needs a file name");
        } else {
            project->pluginManifests.push_back(file.PluginManifestPath(plugin));
        }
    }
    return errors->size() == before;
}

bool loadProject(const std::string &path, Project *project, std::vector<std::string> *errors) {
    try {
        kqlink::ProjectFile file = kqlink::ProjectFile::Load(path);
        file.installedPluginFolder = kqlink::InstalledPluginFolder();
        return interpretProject(file, path, project, errors);
    } catch (const kqlink::LinkError &e) {
        errors->push_back(e.what());
        return false;
    }
}

} // namespace kqc
