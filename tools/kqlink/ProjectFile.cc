// Reading the project file and building the rsrc and options members.
#include "ProjectFile.h"

#include "ElfObject.h"
#include "ImageFormat.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <png.h>
#include <sstream>
#include <unistd.h>

namespace kqlink {

namespace {

std::string Trim(const std::string &s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

void Put32(std::vector<uint8_t> &out, uint32_t v) {
    uint8_t b[4];
    kqimage::Write32(b, v);
    out.insert(out.end(), b, b + 4);
}

void PutResource(std::vector<uint8_t> &out, uint32_t type, uint16_t id,
                 const std::vector<uint8_t> &payload) {
    Put32(out, type);
    out.push_back(uint8_t(id));
    out.push_back(uint8_t(id >> 8));
    Put32(out, 0);
    Put32(out, uint32_t(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
}

uint32_t Number(const std::string &text, uint32_t max, const std::string &what) {
    char *end = nullptr;
    errno = 0;
    long long v = std::strtoll(text.c_str(), &end, 0);
    if (text.empty() || *end != 0 || errno != 0 || v < 0 || uint64_t(v) > max)
        throw LinkError("project: " + what + " \"" + text + "\" is not a number from 0 to " +
                        std::to_string(max));
    return uint32_t(v);
}

// `TYPE ID FILE`: TYPE is up to four characters (padded with blanks), or
// four characters in double quotes when it holds a blank ("BMP ").
void ParseResource(const std::string &value, uint32_t *type, uint16_t *id, std::string *file) {
    std::string code, rest;
    if (!value.empty() && value[0] == '"') {
        size_t close = value.find('"', 1);
        if (close == std::string::npos) throw LinkError("project: unterminated resource type");
        code = value.substr(1, close - 1);
        rest = Trim(value.substr(close + 1));
    } else {
        size_t space = value.find_first_of(" \t");
        code = value.substr(0, space);
        rest = space == std::string::npos ? "" : Trim(value.substr(space));
    }
    if (code.empty() || code.size() > 4)
        throw LinkError("project: resource type \"" + code + "\" must have 1 to 4 characters");
    code.resize(4, ' ');
    *type = kqimage::FourCC({code[0], code[1], code[2], code[3], 0});
    size_t space = rest.find_first_of(" \t");
    if (space == std::string::npos)
        throw LinkError("project: resource \"" + value + "\" needs an id and a file");
    *id = uint16_t(Number(rest.substr(0, space), 0xFFFF, "resource id"));
    *file = Trim(rest.substr(space));
}

void PutIcon(std::vector<uint8_t> &out, const std::string &path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        throw LinkError(path + ": not a readable PNG file (" + image.message + ")");
    if (image.width == 0 || image.height == 0 || image.width > 255 || image.height > 255) {
        png_image_free(&image);
        throw LinkError(path + ": an icon must be 1 to 255 pixels wide and high");
    }
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
        throw LinkError(path + ": cannot decode (" + image.message + ")");
    out.push_back(kqimage::kOptionIcon);
    out.push_back(uint8_t(image.width));
    out.push_back(uint8_t(image.height));
    out.insert(out.end(), pixels.begin(), pixels.end());
}

} // namespace

ProjectFile ProjectFile::Load(const std::string &path) {
    std::ifstream in(path);
    if (!in) throw LinkError(path + ": cannot open the project file");
    std::stringstream text;
    text << in.rdbuf();
    size_t slash = path.rfind('/');
    return Parse(text.str(), path, slash == std::string::npos ? "." : path.substr(0, slash));
}

ProjectFile ProjectFile::Parse(const std::string &text, const std::string &path,
                               const std::string &folder) {
    ProjectFile project;
    project.folder = folder;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::string t = Trim(line);
        if (t.empty() || t[0] == '#') continue;
        size_t eq = t.find('=');
        if (eq == std::string::npos || Trim(t.substr(0, eq)).empty())
            throw LinkError(path + ":" + std::to_string(number) + ": expected key = value");
        std::string key = Trim(t.substr(0, eq));
        std::transform(key.begin(), key.end(), key.begin(),
                       [](unsigned char c) { return char(std::tolower(c)); });
        project.entries.emplace_back(key, Trim(t.substr(eq + 1)));
    }
    return project;
}

std::vector<std::string> ProjectFile::All(const std::string &key) const {
    std::vector<std::string> values;
    for (const auto &[k, v] : entries)
        if (k == key) values.push_back(v);
    return values;
}

std::string ProjectFile::Path(const std::string &relative) const {
    return !relative.empty() && relative[0] == '/' ? relative : folder + "/" + relative;
}

namespace {

// The places of a `plugin` line's file in the order they are looked at.
std::vector<std::string> PluginCandidates(const ProjectFile &project, const std::string &file) {
    if (file.find('/') != std::string::npos) return {project.Path(file)};
    std::vector<std::string> candidates;
    for (const std::string &dir : project.pluginFolders)
        candidates.push_back(dir + "/" + file);
    candidates.push_back(project.Path(file));
    if (!project.installedPluginFolder.empty())
        candidates.push_back(project.installedPluginFolder + "/" + file);
    return candidates;
}

const std::string *FirstReadable(const std::vector<std::string> &candidates) {
    for (const std::string &candidate : candidates)
        if (access(candidate.c_str(), R_OK) == 0) return &candidate;
    return nullptr;
}

} // namespace

std::string ProjectFile::PluginPath(const std::string &file) const {
    std::vector<std::string> candidates = PluginCandidates(*this, file);
    if (const std::string *found = FirstReadable(candidates)) return *found;
    std::string looked;
    for (const std::string &candidate : candidates)
        looked += (looked.empty() ? "" : ", ") + candidate;
    throw LinkError("project: plug-in " + file + " not found (looked for " + looked + ")");
}

std::string ProjectFile::PluginManifestPath(const std::string &plugin) const {
    static const std::string kLibrary = ".so";
    std::string stem = plugin;
    if (stem.size() > kLibrary.size() &&
        stem.compare(stem.size() - kLibrary.size(), kLibrary.size(), kLibrary) == 0)
        stem.erase(stem.size() - kLibrary.size());
    std::vector<std::string> candidates = PluginCandidates(*this, stem + ".manifest");
    const std::string *found = FirstReadable(candidates);
    return found ? *found : candidates.back();
}

std::vector<uint8_t> BuildResources(const ProjectFile &project) {
    std::vector<uint8_t> out;
    for (const std::string &value : project.All("resource")) {
        uint32_t type;
        uint16_t id;
        std::string file;
        ParseResource(value, &type, &id, &file);
        PutResource(out, type, id, ReadWholeFile(project.Path(file)));
    }
    uint16_t id = 0xFFFF;
    for (const std::string &file : project.All("plugin")) {
        std::string name = file.substr(file.rfind('/') + 1);
        if (name.empty() || name.size() > 255)
            throw LinkError("project: plug-in file name \"" + name + "\" must have 1 to 255 bytes");
        std::vector<uint8_t> payload(1, uint8_t(name.size()));
        payload.insert(payload.end(), name.begin(), name.end());
        std::vector<uint8_t> library = ReadWholeFile(project.PluginPath(file));
        payload.insert(payload.end(), library.begin(), library.end());
        PutResource(out, kqimage::kResourcePlugin, id--, payload);
    }
    return out;
}

std::vector<uint8_t> BuildOptions(const ProjectFile &project) {
    std::vector<uint8_t> out;
    for (const std::string &file : project.All("icon"))
        PutIcon(out, project.Path(file));
    static const char *const kWords[kqimage::kVersionWordCount] = {
        "version.major",      "version.minor", "version.bug",
        "version.nonrelease", "version.stage", "version.region"};
    static const char *const kTexts[kqimage::kVersionTextCount] = {"version.short", "version.long",
                                                                   "version.package"};
    bool any = false;
    for (const auto &[key, value] : project.entries) {
        if (key.rfind("version.", 0) != 0) continue;
        any = true;
        if (std::find_if(std::begin(kWords), std::end(kWords),
                         [&](const char *k) { return key == k; }) == std::end(kWords) &&
            std::find_if(std::begin(kTexts), std::end(kTexts),
                         [&](const char *k) { return key == k; }) == std::end(kTexts))
            throw LinkError("project: unknown key " + key);
    }
    if (!any) return out;
    out.push_back(kqimage::kOptionVersion);
    for (const char *key : kWords) {
        std::vector<std::string> v = project.All(key);
        Put32(out, v.empty() ? 0 : Number(v.back(), 0xFFFFFFFFu, key));
    }
    for (const char *key : kTexts) {
        std::vector<std::string> v = project.All(key);
        std::string text = v.empty() ? "" : v.back();
        if (text.size() > 255) throw LinkError(std::string("project: ") + key + " is too long");
        out.push_back(uint8_t(text.size()));
        out.insert(out.end(), text.begin(), text.end());
    }
    return out;
}

} // namespace kqlink
