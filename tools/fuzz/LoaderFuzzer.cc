// libFuzzer entry: untrusted bytes through the loader's container reader,
// fix-up applier and record walkers (see ImagePipeline.h).
#include "ImagePipeline.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    imagefuzz::RunImagePipeline(data, size);
    return 0;
}
