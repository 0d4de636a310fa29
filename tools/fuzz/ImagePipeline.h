// The loader's handling of untrusted image bytes, as one host-side call for
// the fuzzer and the corruption corpus: the bytes are taken both as an
// executable (searched for its ".kq" section) and as a bare container; the
// members found are linked with every fix-up record against a stand-in
// export table, and the resource, option and symbol records are walked.
#pragma once

#include <cstddef>
#include <cstdint>

namespace imagefuzz {

struct PipelineResult {
    bool containerRead = false;
    bool linked = false;
    int reports = 0;
};

PipelineResult RunImagePipeline(const uint8_t *data, size_t size);

// Reports counted since the last call (the pipeline's RuntimeErrorReport
// only counts).
int TakeReportCount();

} // namespace imagefuzz
