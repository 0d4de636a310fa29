// Writes the valid container to the file named by the first argument: the
// fuzzer's first seed.
#include "ValidImage.h"

#include <cstdio>

int main(int argc, char **argv) {
    if (argc != 2) return 2;
    std::vector<uint8_t> bytes = imagefuzz::ValidContainer();
    FILE *f = std::fopen(argv[1], "wb");
    if (f == nullptr) return 1;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok ? 0 : 1;
}
