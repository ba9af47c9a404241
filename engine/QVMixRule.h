#pragma once
// The compositing rule of one mixer pixel, written once for the plain worker
// (QVThreadMixer: 64-bit channels, one pixel at a time) and the fast rows
// (MixerRows: 32-bit channels, a row of planes at a time). Integer divisions
// truncate; channels are red, green, blue.
//
// A pixel: the source term S and the transparence T are list expressions
// ('+' starts a term, '*' multiplies into it); T is normalised; then each
// result channel is ComposeChannel<rule> of S, T and the base; the result is
// normalised (Regular) or clamped to 255.
#include <algorithm>
#include <cstdint>

namespace qv {

/// The rule a transparence type selects: types 0..4 are their own rule; any
/// other type combines as the sum, rule 0.
inline int32_t MixRule(int32_t transparenceType) {
  return transparenceType >= 0 && transparenceType <= 4 ? transparenceType : 0;
}

/// A list element's pixel channel p multiplied into the current term.
template <typename Int>
inline Int MultiplyTerm(Int p, Int term) {
  return p * term / 255;
}

/// Rule 4: the share of the base kept under a source whose brightest channel
/// is brightest (twice that, at most 255, out of 255 fades the base out).
/// Extended precision, as the compositing has always computed it.
template <typename Int>
inline int32_t FadeLevel(Int brightest) {
  const Int m = 2 * brightest;
  return m > 255 ? 255 : static_cast<int32_t>(m);
}
inline long double FadeKeep(int32_t level) {
  return 1.0L - static_cast<long double>(level) / 255.0L;
}

/// One result channel before normalisation: source s, normalised
/// transparence t and base b combined by Rule. sourceBlack (rule 3): all
/// three source channels are 0; keep (rule 4): FadeKeep of the pixel.
template <int Rule, typename Int>
inline Int ComposeChannel(Int s, Int t, Int b, bool sourceBlack, long double keep) {
  static_assert(Rule >= 0 && Rule <= 4, "the transparence rules are 0 to 4");
  if constexpr (Rule == 0) {
    return s + b;
  } else if constexpr (Rule == 1) {
    return s + b * t / 255;
  } else if constexpr (Rule == 2) {
    return s * (255 - t) / 255 + b * t / 255;
  } else if constexpr (Rule == 3) {
    return s + (sourceBlack ? b : 0);
  } else {
    return s + static_cast<Int>(static_cast<int64_t>(b * keep));
  }
}

/// Without Regular: a channel above 255 becomes 255.
template <typename Int>
inline Int ClampChannel(Int c) {
  return std::min<Int>(c, 255);
}

}  // namespace qv
