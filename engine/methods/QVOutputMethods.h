#pragma once
// What a generator records per pixel, in list order. Each worker of a generator
// steps its own clone: Start before the first step, Step after every step
// (the final one included), then Result. Of the "開始回数" s and "バイアス" b
// slots only the real part counts; a step j takes part only when j >= s.re.
#include <cstdint>
#include <memory>

#include "engine/methods/QVMethod.h"

/// "終点": the last orbit value and the number of steps. Start clears both,
/// so a pixel with no step records (0, 0) and 0.
class QVOutputMethod_EndPoint final : public QVOutputMethod {
 public:
  static constexpr int32_t KindIndex = 0;
  QVOutputMethod_EndPoint();
  std::unique_ptr<QVMethod> Clone() const override;
  void Start() override;
  void Step(int32_t j, QVComplex z) override;
};

/// "球": the offset z - p of the orbit point closest to p (the first on a tie)
/// and its step; (0, 0) and 1 when no step takes part. Slots: "位置" p, "開始回数" s.
class QVOutputMethod_Ball final : public QVOutputMethod {
 public:
  static constexpr int32_t KindIndex = 1;
  QVOutputMethod_Ball();
  std::unique_ptr<QVMethod> Clone() const override;
  void Start() override;
  void Step(int32_t j, QVComplex z) override;
  QVComplex Position() const { return ParamValues[0]; }
  QVComplex StartStep() const { return ParamValues[1]; }

  double Best = 1e100;  ///< The smallest distance so far.
};

/// "差分累積": the sum of |z_j - z_(j-1)| per part, raised to the powers k.re
/// and k.im, over the counted steps, and their number. The first difference is
/// taken against (0, 0). Slots: "定数" k, "開始回数" s.
class QVOutputMethod_Trace final : public QVOutputMethod {
 public:
  static constexpr int32_t KindIndex = 2;
  QVOutputMethod_Trace();
  std::unique_ptr<QVMethod> Clone() const override;
  void Start() override;
  void Step(int32_t j, QVComplex z) override;
  QVComplex Power() const { return ParamValues[0]; }
  QVComplex StartStep() const { return ParamValues[1]; }

  QVComplex Previous;  ///< The orbit value of the step before, counted or not.
};

/// "市松模様累積": the sum (in Z.re) of sin(re/w.re) * sin(im/w.im) + b.re over
/// the counted steps, and the number of those terms that are >= 0.
/// Slots: "幅" w, "バイアス" b, "開始回数" s.
class QVOutputMethod_TraceChecker final : public QVOutputMethod {
 public:
  static constexpr int32_t KindIndex = 3;
  QVOutputMethod_TraceChecker();
  std::unique_ptr<QVMethod> Clone() const override;
  void Start() override;
  void Step(int32_t j, QVComplex z) override;
  QVComplex Width() const { return ParamValues[0]; }
  QVComplex Bias() const { return ParamValues[1]; }
  QVComplex StartStep() const { return ParamValues[2]; }
};
