#include "engine/kernels/QVCpuFeatures.h"

namespace qv {

namespace {

CpuFeatures DetectFeatures() {
  CpuFeatures f;
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  // The compiler's check for AVX2 includes the OS support for the 256-bit
  // register state (XSAVE enabled for it), not only the CPUID bit.
  f.Sse2 = __builtin_cpu_supports("sse2") != 0;
  f.Avx2 = __builtin_cpu_supports("avx2") != 0;
  f.Avx512 = __builtin_cpu_supports("avx512f") != 0 && __builtin_cpu_supports("avx512dq") != 0;
#endif
  return f;
}

}  // namespace

const CpuFeatures& HostCpuFeatures() {
  static const CpuFeatures features = DetectFeatures();
  return features;
}

}  // namespace qv
