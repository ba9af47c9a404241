#pragma once
// What the processor running this program offers, asked once. The generator's
// kernels are compiled for several instruction sets; only those listed here
// may be run.
namespace qv {

struct CpuFeatures {
  bool Sse2 = false;
  bool Avx2 = false;  ///< AVX2 instructions and an OS that saves the wide registers.
  bool Avx512 = false;  ///< AVX-512 F and DQ, and an OS that saves their registers.
};

/// The features of the host processor. Thread: any (computed once, then read-only).
const CpuFeatures& HostCpuFeatures();

}  // namespace qv
