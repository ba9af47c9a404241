// The generator's vector kernel on SSE2: two pixels per vector. SSE2 is part
// of every x86-64 processor.
#include "engine/kernels/QVGeneratorKernelSetup.h"

#if defined(__SSE2__)
#include <emmintrin.h>

#include "engine/kernels/QVGeneratorKernelTable.h"
#include "engine/kernels/QVGeneratorLanes.h"

namespace qv::kernel {

namespace {

struct Sse2 {
  using T = __m128d;
  static constexpr int Lanes = 2;
  static T Set(double v) { return _mm_set1_pd(v); }
  static T Zero() { return _mm_setzero_pd(); }
  static T Load(const double* p) { return _mm_load_pd(p); }
  static void Store(double* p, T v) { _mm_store_pd(p, v); }
  static T And(T a, T b) { return _mm_and_pd(a, b); }
  static T Or(T a, T b) { return _mm_or_pd(a, b); }
  static T AndNot(T a, T b) { return _mm_andnot_pd(a, b); }
  static T Abs(T a) { return _mm_andnot_pd(_mm_set1_pd(-0.0), a); }
  static T Gt(T a, T b) { return _mm_cmpgt_pd(a, b); }
  static T Ge(T a, T b) { return _mm_cmpge_pd(a, b); }
  static T Lt(T a, T b) { return _mm_cmplt_pd(a, b); }
  static T NotLe(T a, T b) { return _mm_cmpnle_pd(a, b); }
  static T Blend(T mask, T a, T b) {
    return _mm_or_pd(_mm_and_pd(mask, a), _mm_andnot_pd(mask, b));
  }
  static uint32_t Bits(T mask) { return static_cast<uint32_t>(_mm_movemask_pd(mask)); }
};

}  // namespace

RowKernel Sse2RowKernel(int32_t fractal, int32_t divergence, int32_t output) {
  return FindKernel<lanes::Kernels<Sse2>>(fractal, divergence, output);
}

}  // namespace qv::kernel

#else

qv::kernel::RowKernel qv::kernel::Sse2RowKernel(int32_t, int32_t, int32_t) { return nullptr; }

#endif
