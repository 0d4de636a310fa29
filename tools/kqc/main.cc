// kqc, the Kestlang compiler.
//
//   kqc [--manifest RUNTIME.manifest [--manifest PLUGIN.manifest...]] [-o IMAGE.s] PROJECT.kqp
//   kqc [--manifest RUNTIME.manifest] [-o IMAGE.s] --main Module.Sub FILE.kst...
//   kqc [--manifest RUNTIME.manifest] --check FILE.kst...
//   kqc --dump-ast FILE.kst...
//
// Reads the project (or the given sources), checks them against the runtime
// manifest (and the manifests of plug-ins, whose classes build on the
// runtime's; each --manifest adds one, in order), reports errors as
// file:line:column: message, and writes the image's assembler text (image.s
// unless -o names another file). Without --manifest the installed runtime
// manifest is read, then the manifest of each plug-in the project names
// (found as kqlink finds the library: beside the project file, then in the
// installed plug-in folder). Without a project, --main names the shared Sub
// the image starts with. --check stops after the checks; --dump-ast prints
// the syntax trees and does no checks.
#include <cstring>
#include <iostream>

#include <fstream>

#include "AstDump.h"
#include "Codegen.h"
#include "InstalledFiles.h"
#include "Lexer.h"
#include "Manifest.h"
#include "Parser.h"
#include "Project.h"
#include "Sema.h"

using namespace kqc;

namespace {

int usage() {
    std::cerr << "usage: kqc [--manifest FILE...] [-o OUT.s] PROJECT.kqp\n"
                 "       kqc [--manifest FILE...] [-o OUT.s] --main Module.Sub FILE.kst...\n"
                 "       kqc [--manifest FILE...] --check FILE.kst...\n"
                 "       kqc --dump-ast FILE.kst...\n";
    return 2;
}

bool endsWith(const std::string &s, const char *tail) {
    size_t n = std::strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

} // namespace

int main(int argc, char **argv) {
    std::vector<std::string> manifests;
    std::string output, mainMethod;
    bool dumpAst = false, checkOnly = false;
    std::vector<std::string> inputs;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--dump-ast") {
            dumpAst = true;
        } else if (arg == "--check") {
            checkOnly = true;
        } else if (arg == "--manifest" && i + 1 < argc) {
            manifests.push_back(argv[++i]);
        } else if ((arg == "-o" || arg == "--main") && i + 1 < argc) {
            (arg == "-o" ? output : mainMethod) = argv[++i];
        } else if (!arg.empty() && arg[0] == '-') {
            return usage();
        } else {
            inputs.push_back(arg);
        }
    }
    if (inputs.empty()) return usage();
    bool installedManifest = manifests.empty();
    if (installedManifest) manifests.push_back(kqlink::InstalledRuntimeManifest());

    SourceSet sources;
    Diagnostics diags(sources);
    Project project;
    bool haveProject = inputs.size() == 1 && endsWith(inputs[0], ".kqp");
    std::vector<std::string> files = inputs;
    if (haveProject) {
        std::vector<std::string> errors;
        if (!loadProject(inputs[0], &project, &errors)) {
            for (const std::string &e : errors)
                std::cerr << e << '\n';
            return 1;
        }
        std::string text;
        readFile(inputs[0], &text);
        project.fileId = sources.add(inputs[0], std::move(text));
        files = project.sources;
        if (installedManifest)
            manifests.insert(manifests.end(), project.pluginManifests.begin(),
                             project.pluginManifests.end());
    }

    std::vector<SourceUnit> units;
    for (const std::string &path : files) {
        std::string text;
        if (!readFile(path, &text)) {
            diags.error({}, "cannot read " + path);
            continue;
        }
        uint32_t id = sources.add(path, std::move(text));
        units.push_back(parse(tokenize(sources, id, diags), id, diags));
    }
    if (dumpAst) {
        for (const SourceUnit &u : units)
            std::cout << dump(u);
        diags.print(std::cerr);
        return diags.errorCount() ? 1 : 0;
    }

    Program program;
    bool loaded = true;
    for (size_t i = 0; i < manifests.size(); ++i) {
        const std::string &path = manifests[i];
        std::string text;
        if (!readFile(path, &text)) {
            // Without --manifest the first is the installed runtime's and the
            // others are the project's plug-ins'.
            if (!installedManifest)
                diags.error({}, "cannot read the manifest " + path);
            else
                diags.error({}, std::string(i == 0 ? "cannot read the installed runtime manifest "
                                                   : "cannot read the manifest of a plug-in ") +
                                    path + " (name the manifests with --manifest)");
            loaded = false;
        } else if (!loadManifest(sources, sources.add(path, std::move(text)), program, diags)) {
            loaded = false;
        }
        if (!loaded) break;
    }
    if (loaded) analyze(program, units, haveProject ? &project : nullptr, diags);
    std::string assembly;
    if (!diags.errorCount() && !checkOnly) {
        CodegenOptions options;
        options.mainMethod = mainMethod;
        if (generateAssembly(program, units, haveProject ? &project : nullptr, options, diags,
                             &assembly)) {
            if (output.empty()) output = "image.s";
            std::ofstream out(output, std::ios::binary);
            out << assembly;
            if (!out.flush()) diags.error({}, "cannot write " + output);
        }
    }
    diags.print(std::cerr);
    return diags.errorCount() ? 1 : 0;
}
