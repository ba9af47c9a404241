// The generator's vector kernel on AVX2: four pixels per vector. This unit is
// compiled with AVX2 enabled and FMA disabled (a fused multiply-add would
// round a product and a sum once instead of twice), and is run only on a
// processor that reports AVX2.
#include "engine/kernels/QVGeneratorKernelSetup.h"

#if defined(__AVX2__)
#include <immintrin.h>

#include "engine/kernels/QVGeneratorKernelTable.h"
#include "engine/kernels/QVGeneratorLanes.h"

#if defined(__FMA__)
#error "this unit must be compiled without FMA: fused products change the results"
#endif

namespace qv::kernel {

namespace {

struct Avx2 {
  using T = __m256d;
  static constexpr int Lanes = 4;
  static T Set(double v) { return _mm256_set1_pd(v); }
  static T Zero() { return _mm256_setzero_pd(); }
  static T Load(const double* p) { return _mm256_load_pd(p); }
  static void Store(double* p, T v) { _mm256_store_pd(p, v); }
  static T And(T a, T b) { return _mm256_and_pd(a, b); }
  static T Or(T a, T b) { return _mm256_or_pd(a, b); }
  static T AndNot(T a, T b) { return _mm256_andnot_pd(a, b); }
  static T Abs(T a) { return _mm256_andnot_pd(_mm256_set1_pd(-0.0), a); }
  static T Gt(T a, T b) { return _mm256_cmp_pd(a, b, _CMP_GT_OQ); }
  static T Ge(T a, T b) { return _mm256_cmp_pd(a, b, _CMP_GE_OQ); }
  static T Lt(T a, T b) { return _mm256_cmp_pd(a, b, _CMP_LT_OQ); }
  static T NotLe(T a, T b) { return _mm256_cmp_pd(a, b, _CMP_NLE_UQ); }
  static T Blend(T mask, T a, T b) { return _mm256_blendv_pd(b, a, mask); }
  static uint32_t Bits(T mask) { return static_cast<uint32_t>(_mm256_movemask_pd(mask)); }
};

}  // namespace

RowKernel Avx2RowKernel(int32_t fractal, int32_t divergence, int32_t output) {
  return FindKernel<lanes::Kernels<Avx2>>(fractal, divergence, output);
}

}  // namespace qv::kernel

#else

qv::kernel::RowKernel qv::kernel::Avx2RowKernel(int32_t, int32_t, int32_t) { return nullptr; }

#endif
