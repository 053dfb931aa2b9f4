#pragma once
// Which vector instruction set the fast renderer uses. Chosen once at run time
// from what the processor (and the operating system) actually support.
namespace velmora {

enum class SimdLevel { Scalar, Sse2, Avx2, Avx512 };

// True when this build has a kernel for the level and this machine can run it.
bool isSimdLevelSupported(SimdLevel level);

// The widest supported level.
SimdLevel bestSimdLevel();

const char* simdLevelName(SimdLevel level);

}  // namespace velmora
