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

// A family of rules: one method class per rule of the list, in list order.
template <typename Base, template <class> class Method, typename Rules>
struct RulePrototypes;
template <typename Base, template <class> class Method, typename... Rules>
struct RulePrototypes<Base, Method, qv::TypeList<Rules...>> {
  using Type = PrototypeList<Base, Method<Rules>...>;
};

}  // namespace

// Function-local statics: built once on first use, safely across threads.
const std::vector<const QVFractalMethod*>& FractalMethods() {
  static const RulePrototypes<QVFractalMethod, QVFormulaMethod, qv::formula::FractalFormulas>::Type
      prototypes;
  return prototypes.List();
}

const std::vector<const QVDivergenceMethod*>& DivergenceMethods() {
  static const RulePrototypes<QVDivergenceMethod, QVDivergenceTestMethod,
                              qv::divergence::DivergenceTests>::Type prototypes;
  return prototypes.List();
}

const std::vector<const QVOutputMethod*>& OutputMethods() {
  static const RulePrototypes<QVOutputMethod, QVOutputRuleMethod, qv::output::OutputRules>::Type
      prototypes;
  return prototypes.List();
}

// The rendering methods come from the class list the fast rows use too.
const std::vector<const QVRenderingMethod*>& RenderingMethods() {
  static const PrototypesOf<QVRenderingMethod, QVRenderingMethodClasses>::Type prototypes;
  return prototypes.List();
}
