// libFuzzer target: any bytes as a Kestlang source, through the lexer, the
// parser and semantic analysis against the test manifest. The front end
// must report errors and return for every input: no crash, no sanitizer
// finding, no hang.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "Lexer.h"
#include "Manifest.h"
#include "Parser.h"
#include "Sema.h"

using namespace kqc;

namespace {

const std::string &manifestText() {
    static const std::string text = [] {
        std::string t;
        const char *path = std::getenv("KQC_FUZZ_MANIFEST");
        if (!path || !readFile(path, &t)) std::abort(); // the run is misconfigured
        return t;
    }();
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    SourceSet sources;
    Diagnostics diags(sources);
    Program program;
    if (!loadManifest(sources, sources.add("test.manifest", manifestText()), program, diags))
        std::abort();
    uint32_t id = sources.add("fuzz.kst", std::string(reinterpret_cast<const char *>(data), size));
    std::vector<SourceUnit> units;
    units.push_back(parse(tokenize(sources, id, diags), id, diags));
    analyze(program, units, nullptr, diags);
    return 0;
}
