#include "engine/methods/QVMethod.h"

#include <utility>

#include "base/QVScan.h"

QVMethod::QVMethod(std::string name, int32_t kind, std::vector<std::string> labels,
                   std::vector<QVComplex> values)
    : paramCount_(static_cast<uint32_t>(labels.size())),
      paramLabels_(std::move(labels)),
      paramValues_(std::move(values)),
      kind_(kind) {
  AssignName(std::move(name));
  // Every slot has a label and a value; a missing default is (0, 0).
  paramValues_.resize(paramCount_);
}

// QVObject is not copyable (nodes are not); a method copies its name, kind and
// slots, and takes a fresh stamp only through a setter (FrozenClone keeps the
// original's).
QVMethod::QVMethod(const QVMethod& other)
    : QVObject(),
      paramCount_(other.paramCount_),
      paramLabels_(other.paramLabels_),
      paramValues_(other.paramValues_),
      kind_(other.kind_) {
  AssignName(other.Name());
  KeepStamp(other);  // the values last changed when the original's did
}

std::string QVMethod::ParamLabel(uint32_t i) const {
  return i < paramCount_ ? paramLabels_[i] : std::string();
}

QVComplex QVMethod::ParamValue(uint32_t i) const {
  return i < paramCount_ ? paramValues_[i] : QVComplex{};
}

void QVMethod::SetParamValue(uint32_t i, QVComplex v) {
  if (i >= paramCount_) return;
  paramValues_[i] = qv::KeptComplex(v);
  MarkChanged();
}
