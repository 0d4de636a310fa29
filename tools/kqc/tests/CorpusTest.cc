// The corpus: Kestlang programs, most of them broken, each with the exact
// diagnostics the compiler must print for it (corpus/NAME.kst and
// corpus/NAME.expected, empty for a correct program). The programs are
// checked against the test manifest in fixtures/.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <sstream>

#include "Lexer.h"
#include "Manifest.h"
#include "Parser.h"
#include "Sema.h"

namespace kqc {
namespace {

std::vector<std::string> corpusNames() {
    std::vector<std::string> names;
    if (DIR *dir = opendir(KQC_CORPUS_DIR)) {
        while (dirent *entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".kst") == 0) {
                names.push_back(name.substr(0, name.size() - 4));
            }
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class Corpus : public testing::TestWithParam<std::string> {};

TEST_P(Corpus, DiagnosticsAreTheExpectedOnes) {
    std::string base = std::string(KQC_CORPUS_DIR) + "/" + GetParam();
    std::string text, expected, manifest;
    ASSERT_TRUE(readFile(base + ".kst", &text));
    ASSERT_TRUE(readFile(base + ".expected", &expected)) << "missing " << base << ".expected";
    ASSERT_TRUE(readFile(KQC_FIXTURE_DIR "/test.manifest", &manifest));
    SourceSet sources;
    Diagnostics diags(sources);
    Program program;
    ASSERT_TRUE(loadManifest(sources, sources.add("test.manifest", manifest), program, diags));
    uint32_t id = sources.add(GetParam() + ".kst", text);
    std::vector<SourceUnit> units;
    units.push_back(parse(tokenize(sources, id, diags), id, diags));
    analyze(program, units, nullptr, diags);
    std::ostringstream printed;
    diags.print(printed);
    EXPECT_EQ(printed.str(), expected);
}

INSTANTIATE_TEST_SUITE_P(Programs, Corpus, testing::ValuesIn(corpusNames()),
                         [](const testing::TestParamInfo<std::string> &info) {
                             return info.param;
                         });

} // namespace
} // namespace kqc
