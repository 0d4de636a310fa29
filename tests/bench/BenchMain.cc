// The main program of the benchmark programs that need nothing else.
#include "BenchRatio.h"

#include <clocale>

int main(int argc, char **argv) {
    std::setlocale(LC_ALL, ""); // as the runtime does at start-up
    if (!kqbench::Initialize(&argc, argv)) return 1;
    kqbench::RunAndReport();
    return 0;
}
