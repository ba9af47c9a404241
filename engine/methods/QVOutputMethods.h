#pragma once
// What a generator records per pixel, in list order. Each worker of a generator
// steps its own clone: Start before the first step, Step after every step
// (the final one included), then Result. The rules themselves are written
// once, in QVOutputRules.h; a method class walks its rule with libm called
// directly, reading its slot values at each Start.
#include <cstdint>
#include <memory>

#include "engine/methods/QVMethod.h"
#include "engine/methods/QVOutputRules.h"

/// The output method of rule O (a struct of QVOutputRules.h).
template <class O>
class QVOutputRuleMethod final : public QVOutputMethod {
 public:
  using Rule = O;
  static constexpr int32_t KindIndex = qv::IndexOf<O, qv::output::OutputRules>;
  static_assert(KindIndex >= 0, "the rule is missing from OutputRules");

  QVOutputRuleMethod()
      : QVOutputMethod(O::Name, KindIndex, qv::SlotLabels(O::Slots), qv::SlotDefaults(O::Slots)),
        walker_(ParamValues().data()) {}
  std::unique_ptr<QVMethod> Clone() const override {
    return std::make_unique<QVOutputRuleMethod>(*this);
  }
  void Start() override {
    walker_ = Walker(ParamValues().data());
    walker_.Start();
  }
  void Step(int32_t j, QVComplex z) override { walker_.Step(j, z); }
  FractalPixel Result() const override { return walker_.R; }

 private:
  using Walker = typename O::template Walker<qv::output::Direct>;
  Walker walker_;
};

using QVOutputMethod_EndPoint = QVOutputRuleMethod<qv::output::EndPoint>;
using QVOutputMethod_Ball = QVOutputRuleMethod<qv::output::Ball>;
using QVOutputMethod_Trace = QVOutputRuleMethod<qv::output::Trace>;
using QVOutputMethod_TraceChecker = QVOutputRuleMethod<qv::output::TraceChecker>;
