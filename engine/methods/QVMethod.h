#pragma once
// Methods: small strategy objects chosen by display name. Four families
// (fractal formula, divergence test, output sampling, rendering value), each
// with 0 to 3 complex parameter slots. One prototype per class lives for the
// whole run in its family's list; owners always hold their own clone.
// A method says what one pixel is; it knows nothing of rows or threads.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/QVComplex.h"
#include "engine/QVField.h"
#include "engine/QVObject.h"
#include "engine/methods/QVFormulas.h"
#include "engine/methods/QVMethodLists.h"  // the prototype lists, for every user of methods
#include "engine/methods/QVRuleList.h"

class QVMethod : public QVObject {
 public:
  /// Labels and default values of the slots, in slot order.
  QVMethod(std::string name, int32_t kind, std::vector<std::string> labels,
           std::vector<QVComplex> values);

  uint32_t ParamCount() const { return paramCount_; }
  const std::vector<std::string>& ParamLabels() const { return paramLabels_; }
  const std::vector<QVComplex>& ParamValues() const { return paramValues_; }

  /// Index of this class in its family's prototype list.
  int32_t Kind() const { return kind_; }

  /// A new object of the same class with this object's labels and values.
  virtual std::unique_ptr<QVMethod> Clone() const = 0;

  /// Label of slot i, or "" beyond ParamCount.
  std::string ParamLabel(uint32_t i) const;
  /// Value of slot i, or (0, 0) beyond ParamCount.
  QVComplex ParamValue(uint32_t i) const;
  /// Stores v, as the project text keeps it, in slot i and marks the method
  /// Changed; ignored beyond ParamCount.
  void SetParamValue(uint32_t i, QVComplex v);

 protected:
  QVMethod(const QVMethod& other);

 private:
  uint32_t paramCount_ = 0;
  std::vector<std::string> paramLabels_;
  std::vector<QVComplex> paramValues_;
  int32_t kind_;
};

/// Iterate(z, c): one step of the formula. Read-only; shared by all workers.
class QVFractalMethod : public QVMethod {
 public:
  using QVMethod::QVMethod;
  virtual QVComplex Iterate(QVComplex z, QVComplex c) const = 0;
};

/// Diverged(j, z): true stops the orbit after step j. Read-only; shared.
class QVDivergenceMethod : public QVMethod {
 public:
  using QVMethod::QVMethod;
  virtual bool Diverged(int32_t j, QVComplex z) const = 0;
};

/// Watches an orbit step by step. Holds per-pixel state: each worker steps its
/// own clone, never the owner's object. Result is (0, 0) and 0 before any step.
class QVOutputMethod : public QVMethod {
 public:
  using QVMethod::QVMethod;
  virtual void Start() = 0;
  virtual void Step(int32_t j, QVComplex z) = 0;
  virtual FractalPixel Result() const = 0;
};

/// Value(count, z): the scalar an effector colours. Read-only; shared.
class QVRenderingMethod : public QVMethod {
 public:
  using QVMethod::QVMethod;
  virtual double Value(int32_t count, QVComplex z) const = 0;
};

/// The prototype whose Name equals name exactly, searching from the front; null if none.
template <typename T>
const T* FindMethod(const std::vector<const T*>& list, const std::string& name) {
  for (const T* m : list) {
    if (m->Name() == name) return m;
  }
  return nullptr;
}

namespace qv {

/// The labels of a rule's slots, in slot order.
template <size_t N>
std::vector<std::string> SlotLabels(const std::array<MethodSlot, N>& list) {
  std::vector<std::string> labels;
  for (const MethodSlot& s : list) labels.emplace_back(s.Label);
  return labels;
}

/// The default values of a rule's slots, in slot order.
template <size_t N>
std::vector<QVComplex> SlotDefaults(const std::array<MethodSlot, N>& list) {
  std::vector<QVComplex> values;
  for (const MethodSlot& s : list) values.push_back(s.Default);
  return values;
}

/// A clone of a method, typed as its family.
template <typename T>
std::unique_ptr<T> CloneAs(const T& method) {
  return std::unique_ptr<T>(static_cast<T*>(method.Clone().release()));
}

/// A clone, which keeps method's Stamp: the method of a frozen copy.
template <typename T>
std::unique_ptr<T> FrozenClone(const T& method) {
  return CloneAs(method);
}

}  // namespace qv
