// The generator's vector kernel on AVX-512: eight pixels per vector. This
// unit is compiled with AVX-512 F and DQ enabled and FMA disabled (a fused
// multiply-add would round a product and a sum once instead of twice), and is
// run only on a processor that reports both. The lanes' truths are kept as
// vectors of all-ones lanes, as on AVX2; a comparison's mask register is
// turned into such a vector, and back for a blend.
#include "engine/kernels/QVGeneratorKernelSetup.h"

#if defined(__AVX512F__) && defined(__AVX512DQ__)
#include <immintrin.h>

#include "engine/kernels/QVGeneratorKernelTable.h"
#include "engine/kernels/QVGeneratorLanes.h"

#if defined(__FMA__)
#error "this unit must be compiled without FMA: fused products change the results"
#endif

namespace qv::kernel {

namespace {

struct Avx512 {
  using T = __m512d;
  static constexpr int Lanes = 8;
  static T Set(double v) { return _mm512_set1_pd(v); }
  static T Zero() { return _mm512_setzero_pd(); }
  static T Load(const double* p) { return _mm512_load_pd(p); }
  static void Store(double* p, T v) { _mm512_store_pd(p, v); }
  static T And(T a, T b) { return _mm512_and_pd(a, b); }
  static T Or(T a, T b) { return _mm512_or_pd(a, b); }
  static T AndNot(T a, T b) { return _mm512_andnot_pd(a, b); }
  static T Abs(T a) { return _mm512_andnot_pd(_mm512_set1_pd(-0.0), a); }
  static T FromMask(__mmask8 m) { return _mm512_castsi512_pd(_mm512_movm_epi64(m)); }
  static __mmask8 ToMask(T v) { return _mm512_movepi64_mask(_mm512_castpd_si512(v)); }
  static T Gt(T a, T b) { return FromMask(_mm512_cmp_pd_mask(a, b, _CMP_GT_OQ)); }
  static T Ge(T a, T b) { return FromMask(_mm512_cmp_pd_mask(a, b, _CMP_GE_OQ)); }
  static T Lt(T a, T b) { return FromMask(_mm512_cmp_pd_mask(a, b, _CMP_LT_OQ)); }
  static T NotLe(T a, T b) { return FromMask(_mm512_cmp_pd_mask(a, b, _CMP_NLE_UQ)); }
  static T Blend(T mask, T a, T b) { return _mm512_mask_blend_pd(ToMask(mask), b, a); }
  static uint32_t Bits(T mask) { return static_cast<uint32_t>(ToMask(mask)); }
};

}  // namespace

RowKernel Avx512RowKernel(int32_t fractal, int32_t divergence, int32_t output) {
  return FindKernel<lanes::Kernels<Avx512>>(fractal, divergence, output);
}

}  // namespace qv::kernel

#else

qv::kernel::RowKernel qv::kernel::Avx512RowKernel(int32_t, int32_t, int32_t) { return nullptr; }

#endif
