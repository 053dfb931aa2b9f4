#include "render/SimdLevel.h"

#include <initializer_list>

namespace velmora {

bool isSimdLevelSupported(SimdLevel level) {
    switch (level) {
        case SimdLevel::Scalar:
            return true;
#if defined(__x86_64__) || defined(__i386__)
        case SimdLevel::Sse2:
            __builtin_cpu_init();  // may run before the runtime's own initialiser
            return __builtin_cpu_supports("sse2");
        case SimdLevel::Avx2:
            __builtin_cpu_init();
            return __builtin_cpu_supports("avx2");
        case SimdLevel::Avx512:
            __builtin_cpu_init();
            return __builtin_cpu_supports("avx512f");
#else
        case SimdLevel::Sse2:
        case SimdLevel::Avx2:
        case SimdLevel::Avx512:
            return false;
#endif
    }
    return false;
}

SimdLevel bestSimdLevel() {
    for (const SimdLevel level : {SimdLevel::Avx512, SimdLevel::Avx2, SimdLevel::Sse2}) {
        if (isSimdLevelSupported(level)) return level;
    }
    return SimdLevel::Scalar;
}

const char* simdLevelName(SimdLevel level) {
    switch (level) {
        case SimdLevel::Scalar:
            return "scalar";
        case SimdLevel::Sse2:
            return "sse2";
        case SimdLevel::Avx2:
            return "avx2";
        case SimdLevel::Avx512:
            return "avx512";
    }
    return "unknown";
}

}  // namespace velmora
