// A small valid container using every record kind: the seed of the
// corruption corpus and of the fuzzer's corpus.
#pragma once

#include <cstdint>
#include <vector>

namespace imagefuzz {

std::vector<uint8_t> ValidContainer();

} // namespace imagefuzz
