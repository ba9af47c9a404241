#include "engine/methods/QVMethod.h"

#include <utility>

#include "engine/methods/QVDivergenceMethods.h"
#include "engine/methods/QVFractalMethods.h"
#include "engine/methods/QVOutputMethods.h"
#include "engine/methods/QVRenderingMethods.h"

QVMethod::QVMethod(std::string name, int32_t kind, std::vector<std::string> labels,
                   std::vector<QVComplex> values)
    : ParamCount(static_cast<uint32_t>(labels.size())),
      ParamLabels(std::move(labels)),
      ParamValues(std::move(values)),
      kind_(kind) {
  Name = std::move(name);
  // Every slot has a label and a value; a missing default is (0, 0).
  ParamValues.resize(ParamCount);
}

// QVObject is not copyable (nodes are not); a method copies its name, kind and
// slots, but starts a fresh render pass as Unvisited.
QVMethod::QVMethod(const QVMethod& other)
    : QVObject(),
      ParamCount(other.ParamCount),
      ParamLabels(other.ParamLabels),
      ParamValues(other.ParamValues),
      kind_(other.kind_) {
  Name = other.Name;
  Stamp = other.Stamp;  // the values last changed when the original's did
}

std::string QVMethod::ParamLabel(uint32_t i) const {
  return i < ParamCount ? ParamLabels[i] : std::string();
}

QVComplex QVMethod::ParamValue(uint32_t i) const {
  return i < ParamCount ? ParamValues[i] : QVComplex{};
}

void QVMethod::SetParamValue(uint32_t i, QVComplex v) {
  if (i >= ParamCount) return;
  ParamValues[i] = v;
  MarkChanged();
}

int32_t QVMethod::Update() {
  if (State == Unvisited) {
    State = Unchanged;
  } else if (State == Changed) {
    State = Updated;
  }
  return State;
}

std::string QVMethod::WriteSource(const std::string& indent) const {
  std::string out;
  for (uint32_t i = 0; i < ParamCount; ++i) {
    out += indent + "Parameter: " + qv::ComplexToText(ParamValues[i]) + "\n";
  }
  return out;
}

bool QVMethod::ReadSource(qv::SourceText& text) {
  for (uint32_t i = 0; i < ParamCount; ++i) {
    if (qv::MatchKeyword(text, "Parameter:")) {
      return text.Fail("expected \"Parameter:\" followed by a blank (parameter " +
                       qv::IntToText(i + 1) + " of " + qv::IntToText(ParamCount) + " of \"" + Name +
                       "\")");
    }
    QVComplex value;
    if (qv::ReadComplex(text, value)) return true;
    SetParamValue(i, value);
    qv::SkipWhitespace(text);
  }
  return false;
}

namespace qv {

std::string WriteMethodEntry(const QVMethod& method, const std::string& indent) {
  return WriteBlock(method, indent);
}

}  // namespace qv

namespace {

// One family's prototypes, constructed in the order of Classes (the list
// order), owned for the whole run and never changed.
template <typename Base, typename... Classes>
class PrototypeList {
 public:
  PrototypeList() { (Add(std::make_unique<Classes>()), ...); }
  const std::vector<const Base*>& List() const { return list_; }

 private:
  void Add(std::unique_ptr<Base> method) {
    list_.push_back(method.get());
    owned_.push_back(std::move(method));
  }

  std::vector<std::unique_ptr<Base>> owned_;
  std::vector<const Base*> list_;
};

}  // namespace

// Function-local statics: built once on first use, safely across threads.
const std::vector<const QVFractalMethod*>& FractalMethods() {
  static const PrototypeList<QVFractalMethod, QVFractalMethod_Z2, QVFractalMethod_Z3,
                             QVFractalMethod_Z, QVFractalMethod_1divZ, QVFractalMethod_1divZ2,
                             QVFractalMethod_1divZ3, QVFractalMethod_1divZ2_plus_c>
      prototypes;
  return prototypes.List();
}

const std::vector<const QVDivergenceMethod*>& DivergenceMethods() {
  static const PrototypeList<QVDivergenceMethod, QVDivergenceMethod_Norm, QVDivergenceMethod_Stalks,
                             QVDivergenceMethod_Cross>
      prototypes;
  return prototypes.List();
}

const std::vector<const QVOutputMethod*>& OutputMethods() {
  static const PrototypeList<QVOutputMethod, QVOutputMethod_EndPoint, QVOutputMethod_Ball,
                             QVOutputMethod_Trace, QVOutputMethod_TraceChecker>
      prototypes;
  return prototypes.List();
}

const std::vector<const QVRenderingMethod*>& RenderingMethods() {
  static const PrototypeList<
      QVRenderingMethod, QVRenderingMethod_Count, QVRenderingMethod_Count0, QVRenderingMethod_REAL,
      QVRenderingMethod_IMAG, QVRenderingMethod_RATE, QVRenderingMethod_MULTIPL,
      QVRenderingMethod_ABS, QVRenderingMethod_ARG, QVRenderingMethod_CountLoop,
      QVRenderingMethod_Cross, QVRenderingMethod_LOG_ABS, QVRenderingMethod_LOG_LOG_ABS>
      prototypes;
  return prototypes.List();
}
