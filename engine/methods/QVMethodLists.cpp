#include "engine/methods/QVMethodLists.h"

#include <memory>
#include <utility>

#include "engine/methods/QVDivergenceMethods.h"
#include "engine/methods/QVFractalMethods.h"
#include "engine/methods/QVOutputMethods.h"
#include "engine/methods/QVRenderingMethods.h"

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

template <typename Base, typename List>
struct PrototypesOf;
template <typename Base, typename... Classes>
struct PrototypesOf<Base, qv::TypeList<Classes...>> {
  using Type = PrototypeList<Base, Classes...>;
};

// The fractal family follows the list of formulas.
template <class... F>
PrototypeList<QVFractalMethod, QVFormulaMethod<F>...> FormulaPrototypes(qv::formula::List<F...>);

}  // namespace

// Function-local statics: built once on first use, safely across threads.
const std::vector<const QVFractalMethod*>& FractalMethods() {
  static const decltype(FormulaPrototypes(qv::formula::FractalFormulas{})) prototypes;
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

// The rendering methods come from the class list the fast rows use too.
const std::vector<const QVRenderingMethod*>& RenderingMethods() {
  static const PrototypesOf<QVRenderingMethod, QVRenderingMethodClasses>::Type prototypes;
  return prototypes.List();
}
