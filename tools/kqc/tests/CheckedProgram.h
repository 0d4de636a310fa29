// The fixture of tests that check a program against the test manifest (in
// fixtures/) and look at what semantic analysis made of it.
#pragma once

#include <gtest/gtest.h>

#include "Lexer.h"
#include "Manifest.h"
#include "Parser.h"
#include "Sema.h"

namespace kqc {

class CheckedProgram : public testing::Test {
  protected:
    // Checks the program; the test fails on any diagnostic.
    void check(const std::string &text) {
        std::string manifest;
        ASSERT_TRUE(readFile(KQC_FIXTURE_DIR "/test.manifest", &manifest));
        ASSERT_TRUE(
            loadManifest(sources_, sources_.add("test.manifest", manifest), program_, diags_));
        uint32_t id = sources_.add("t.kst", text);
        units_.push_back(parse(tokenize(sources_, id, diags_), id, diags_));
        analyze(program_, units_, nullptr, diags_);
        for (const Diagnostic &d : diags_.errors())
            ADD_FAILURE() << diags_.format(d);
    }

    SourceSet sources_;
    Diagnostics diags_{sources_};
    Program program_;
    std::vector<SourceUnit> units_;
};

} // namespace kqc
