// kqlink, the image linker:
//   kqlink [--project FILE [--plugin-dir DIR]...] [--no-symbols] -o IMAGE.kq OBJECT.o
//       links an ELF32 relocatable object into an application image
//       container, with the resources, plug-ins, icons and version record of
//       the project file; a plug-in named without a folder is looked for in
//       the --plugin-dir folders, beside the project file, then in the
//       installed plug-in folder;
//   kqlink --dump FILE
//       prints a container, or the ".kq" section of an executable;
//   kqlink --package [RUNTIME] IMAGE.kq -o EXECUTABLE
//       copies the runtime executable (the installed one when none is
//       named) with the container as its ".kq" section (objcopy
//       --add-section);
//   kqlink --members FOLDER IMAGE.kq
//       writes the six members as the member files code.dat, ... that the
//       runtime reads when its executable has no ".kq" section.
#include "ContainerDump.h"
#include "ElfObject.h"
#include "ImageFormat.h"
#include "ImageLinker.h"
#include "InstalledFiles.h"
#include "ProjectFile.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

using namespace kqlink;

int Usage() {
    std::cerr << "usage: kqlink [--project FILE [--plugin-dir DIR]...] [--no-symbols] -o "
                 "IMAGE.kq OBJECT.o\n"
                 "       kqlink --dump FILE\n"
                 "       kqlink --package [RUNTIME] IMAGE.kq -o EXECUTABLE\n"
                 "       kqlink --members FOLDER IMAGE.kq\n";
    return 2;
}

void WriteContainer(const std::string &path, const std::vector<uint8_t> *members[]) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (uint32_t m = 0; m < kqimage::kMemberCount; ++m) {
        uint8_t length[4];
        kqimage::Write32(length, uint32_t(members[m]->size()));
        out.write(reinterpret_cast<const char *>(length), 4);
        out.write(reinterpret_cast<const char *>(members[m]->data()),
                  std::streamsize(members[m]->size()));
    }
    if (!out.flush()) throw LinkError(path + ": cannot write");
}

void WriteMemberFiles(const std::string &folder, const std::string &image) {
    std::vector<uint8_t> bytes = ReadWholeFile(image);
    size_t at = 0;
    for (uint32_t m = 0; m < kqimage::kMemberCount; ++m) {
        if (bytes.size() - at < 4) throw LinkError(image + ": not a container");
        uint32_t length = kqimage::Read32(bytes.data() + at);
        at += 4;
        if (length > bytes.size() - at) throw LinkError(image + ": not a container");
        std::ofstream out(folder + "/" + kqimage::kMemberFileNames[m],
                          std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(bytes.data() + at), length);
        if (!out.flush()) throw LinkError(folder + ": cannot write the member files");
        at += length;
    }
}

// objcopy runs without a shell: no name reaches a command line.
void Package(const std::string &runtime, const std::string &image, const std::string &output) {
    std::string section = std::string(kqimage::kSectionName) + "=" + image;
    std::string flags = std::string(kqimage::kSectionName) + "=contents,readonly";
    std::vector<std::string> args = {"objcopy",
                                     "--remove-section",
                                     kqimage::kSectionName,
                                     "--add-section",
                                     section,
                                     "--set-section-flags",
                                     flags,
                                     runtime,
                                     output};
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawnp(&pid, "objcopy", nullptr, nullptr, argv.data(), environ) != 0)
        throw LinkError("cannot run objcopy");
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) throw LinkError("lost objcopy");
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw LinkError("objcopy failed to package " + runtime);
}

} // namespace

int main(int argc, char **argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string output, project, dump, membersFolder;
    bool symbols = true, package = false;
    std::vector<std::string> inputs, pluginFolders;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        bool more = i + 1 < args.size();
        if (a == "-o" && more)
            output = args[++i];
        else if (a == "--project" && more)
            project = args[++i];
        else if (a == "--plugin-dir" && more)
            pluginFolders.push_back(args[++i]);
        else if (a == "--dump" && more)
            dump = args[++i];
        else if (a == "--package")
            package = true;
        else if (a == "--members" && more)
            membersFolder = args[++i];
        else if (a == "--no-symbols")
            symbols = false;
        else if (!a.empty() && a[0] == '-')
            return Usage();
        else
            inputs.push_back(a);
    }
    try {
        if (!dump.empty()) {
            if (!inputs.empty() || !output.empty()) return Usage();
            return DumpContainer(ReadWholeFile(dump), std::cout) ? 0 : 1;
        }
        if (!membersFolder.empty()) {
            if (inputs.size() != 1) return Usage();
            WriteMemberFiles(membersFolder, inputs[0]);
            return 0;
        }
        if (package && inputs.size() == 2 && !output.empty()) {
            Package(inputs[0], inputs[1], output);
            return 0;
        }
        if (inputs.size() != 1 || output.empty()) return Usage();
        if (package) {
            std::string runtime = InstalledRuntime();
            if (access(runtime.c_str(), R_OK) != 0)
                throw LinkError("no runtime named and none installed at " + runtime);
            Package(runtime, inputs[0], output);
            return 0;
        }
        ElfObject object = ElfObject::Parse(ReadWholeFile(inputs[0]), inputs[0]);
        LinkedImage linked = LinkObject(object, inputs[0], symbols);
        std::vector<uint8_t> rsrc, options;
        if (!project.empty()) {
            ProjectFile p = ProjectFile::Load(project);
            p.pluginFolders = pluginFolders;
            p.installedPluginFolder = InstalledPluginFolder();
            rsrc = BuildResources(p);
            options = BuildOptions(p);
        }
        const std::vector<uint8_t> *members[kqimage::kMemberCount] = {
            &linked.code, &linked.data, &linked.import, &linked.symbols, &rsrc, &options};
        WriteContainer(output, members);
        return 0;
    } catch (const LinkError &e) {
        std::cerr << "kqlink: " << e.what() << "\n";
        return 1;
    }
}
