#pragma once
// Which vector instruction set the fast renderer uses. Chosen once at run time
// from what the processor (and the operating system) actually support.
namespace velmora {

enum class SimdLevel { Scalar, Sse2, Avx2, Avx512 };

// True when this build has a kernel for the level and this machine can run it.
bool IsSimdLevelSupported(SimdLevel level);

// The widest supported level.
SimdLevel BestSimdLevel();

const char* SimdLevelName(SimdLevel level);

}  // namespace velmora
