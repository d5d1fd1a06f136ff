// Runs a fuzz target on seeded random inputs of varied length and shape,
// for builds without libFuzzer. Usage: target [iterations] [seed]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  const long iterations = argc > 1 ? std::atol(argv[1]) : 2000;
  const unsigned seed = argc > 2 ? static_cast<unsigned>(std::atol(argv[2])) : 20261211u;
  std::mt19937 rng(seed);
  // Inputs lean towards the bytes the protocol gives meaning to.
  const uint8_t interesting[] = {0x00, 0x0A, 0x0D, ':', 'x', 0xAA, 0xFF, 0x1F, ',', '0', 'f'};
  for (long i = 0; i < iterations; ++i) {
    std::vector<uint8_t> input(rng() % (i % 10 == 0 ? 20000 : 2000));
    for (auto& b : input) b = rng() % 3 == 0 ? interesting[rng() % sizeof interesting] : static_cast<uint8_t>(rng());
    LLVMFuzzerTestOneInput(input.data(), input.size());
  }
  std::printf("%ld inputs, no failure\n", iterations);
  return 0;
}
