#include "engine/methods/QVMethod.h"

#include <utility>

#include "base/QVScan.h"

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
// slots, and takes a fresh stamp only through a setter (FrozenClone keeps the
// original's).
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
  ParamValues[i] = qv::KeptComplex(v);
  MarkChanged();
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
