// The four prototype lists: the one file that knows every method class, so
// the method framework (QVMethod.cpp) depends on none of the families.
#include <memory>
#include <vector>

#include "engine/methods/QVDivergenceMethods.h"
#include "engine/methods/QVFractalMethods.h"
#include "engine/methods/QVMethod.h"
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

// The rendering methods come from the class list the fast rows use too.
const std::vector<const QVRenderingMethod*>& RenderingMethods() {
  static const PrototypesOf<QVRenderingMethod, QVRenderingMethodClasses>::Type prototypes;
  return prototypes.List();
}
