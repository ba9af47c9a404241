#pragma once
// The compositing rules of a mixer pixel, one struct per transparence type,
// each written once for the plain worker (QVThreadMixer: 64-bit channels, one
// pixel at a time) and the fast rows (MixerRows: 32-bit channels, a row of
// planes at a time). Integer divisions truncate; channels are red, green, blue.
//
// A pixel: the source term S and the transparence T are list expressions
// ('+' starts a term, '*' multiplies into it); T is normalised; then each
// result channel is the rule's Channel of S, T and the base; the result is
// normalised (Regular) or clamped to 255.
//
// A rule is a struct with its display name, Channel(s, t, b, sourceBlack, keep)
// and what Channel reads besides s and b: UsesTransparence (t), UsesBlack
// (sourceBlack: all three source channels are 0) and UsesKeep (keep: FadeKeep
// of the pixel's FadeLevel). TransparenceRules lists them in type order; a new
// type is a struct here and its list entry (the names, both dispatches and
// the project text follow).
#include <algorithm>
#include <cstdint>

#include "engine/methods/QVRuleList.h"

namespace qv {

/// A list element's pixel channel p multiplied into the current term.
template <typename Int>
inline Int MultiplyTerm(Int p, Int term) {
  return p * term / 255;
}

/// The share of the base kept under a source whose brightest channel is
/// brightest (twice that, at most 255, out of 255 fades the base out).
/// Extended precision, as the compositing has always computed it.
template <typename Int>
inline int32_t FadeLevel(Int brightest) {
  const Int m = 2 * brightest;
  return m > 255 ? 255 : static_cast<int32_t>(m);
}
inline long double FadeKeep(int32_t level) {
  return 1.0L - static_cast<long double>(level) / 255.0L;
}

/// Without Regular: a channel above 255 becomes 255.
template <typename Int>
inline Int ClampChannel(Int c) {
  return std::min<Int>(c, 255);
}

namespace mix {

/// "和合成": the source added to the base.
struct Sum {
  static constexpr const char* Name = "和合成";
  static constexpr bool UsesTransparence = false, UsesBlack = false, UsesKeep = false;
  template <typename Int>
  static Int Channel(Int s, Int, Int b, bool, long double) {
    return s + b;
  }
};

/// "透明合成１": the source over the base seen through the transparence.
struct Transparent {
  static constexpr const char* Name = "透明合成１";
  static constexpr bool UsesTransparence = true, UsesBlack = false, UsesKeep = false;
  template <typename Int>
  static Int Channel(Int s, Int t, Int b, bool, long double) {
    return s + b * t / 255;
  }
};

/// "透明合成２": source and base weighed against each other by the transparence.
struct Blend {
  static constexpr const char* Name = "透明合成２";
  static constexpr bool UsesTransparence = true, UsesBlack = false, UsesKeep = false;
  template <typename Int>
  static Int Channel(Int s, Int t, Int b, bool, long double) {
    return s * (255 - t) / 255 + b * t / 255;
  }
};

/// "黒色透過": the base shows only where the source is black.
struct BlackKey {
  static constexpr const char* Name = "黒色透過";
  static constexpr bool UsesTransparence = false, UsesBlack = true, UsesKeep = false;
  template <typename Int>
  static Int Channel(Int s, Int, Int b, bool sourceBlack, long double) {
    return s + (sourceBlack ? b : 0);
  }
};

/// "黒色透過２": the base fades out as the source brightens.
struct Fade {
  static constexpr const char* Name = "黒色透過２";
  static constexpr bool UsesTransparence = false, UsesBlack = false, UsesKeep = true;
  template <typename Int>
  static Int Channel(Int s, Int, Int b, bool, long double keep) {
    return s + static_cast<Int>(static_cast<int64_t>(b * keep));
  }
};

/// The transparence types' rules, in type order.
using TransparenceRules = TypeList<Sum, Transparent, Blend, BlackKey, Fade>;

/// The rule a transparence type selects: a listed type is its own rule; any
/// other type combines as the first, the sum.
inline int32_t RuleOf(int32_t transparenceType) {
  return transparenceType >= 0 && transparenceType < TransparenceRules::Count ? transparenceType
                                                                              : 0;
}

/// The result channels r of source s, normalised transparence t and base b
/// under rule R, one pixel.
template <class R>
void ComposePixel(const int64_t s[3], const int64_t t[3], const int64_t b[3], int64_t r[3]) {
  const bool sourceBlack = R::UsesBlack && s[0] == 0 && s[1] == 0 && s[2] == 0;
  const long double keep = R::UsesKeep ? FadeKeep(FadeLevel(std::max({s[0], s[1], s[2]}))) : 0.0L;
  for (int k = 0; k < 3; ++k) r[k] = R::Channel(s[k], t[k], b[k], sourceBlack, keep);
}

/// ComposePixel under the rule of a transparence type.
inline void ComposePixel(int32_t transparenceType, const int64_t s[3], const int64_t t[3],
                         const int64_t b[3], int64_t r[3]) {
  VisitRule(RuleOf(transparenceType), TransparenceRules{},
            [&]<class R>() { ComposePixel<R>(s, t, b, r); });
}

}  // namespace mix
}  // namespace qv
