#pragma once
// Lists of rules: a family's rules (formulas, divergence tests, output rules,
// transparence rules) are structs named in one TypeList, in the family's list
// order, and a rule's kind is its position there. The method classes, the
// prototype lists, the kernel tables and the name tables are all generated
// from such a list, so a rule is written once and listed once.
//
// Plain compile-time code only (no inline function with a body that a kernel
// unit compiled for another instruction set could emit): the kernel units
// include it.
#include <array>
#include <cstdint>
#include <tuple>
#include <type_traits>

#include "base/QVComplex.h"

namespace qv {

template <typename... T>
struct TypeList {
  static constexpr int32_t Count = sizeof...(T);
};

/// The type at position I of a list (a compile error for a position out of the list).
template <int32_t I, class L>
struct TypeAt;
template <int32_t I, class... T>
struct TypeAt<I, TypeList<T...>> {
  static_assert(I >= 0 && I < static_cast<int32_t>(sizeof...(T)), "no rule at this position");
  using Type = std::tuple_element_t<static_cast<size_t>(I), std::tuple<T...>>;
};

template <class X, class... T>
constexpr int32_t IndexIn(TypeList<T...>) {
  int32_t index = 0, found = -1;
  ((std::is_same_v<X, T> ? (found = index, ++index) : ++index), ...);
  return found;
}

/// The position of X in list L; -1 when X is not listed.
template <class X, class L>
inline constexpr int32_t IndexOf = IndexIn<X>(L{});

/// The display names of a list's rules (each rule's Name), in list order.
template <class... R>
constexpr std::array<const char*, sizeof...(R)> RuleNames(TypeList<R...>) {
  return {R::Name...};
}

/// Calls f.template operator()<R>() for the rule R at position index of the
/// list; does nothing for an index out of the list.
template <class F, class... R>
void VisitRule(int32_t index, TypeList<R...>, F&& f) {
  int32_t i = 0;
  (void)((i++ == index ? (f.template operator()<R>(), true) : false) || ...);
}

/// A parameter slot of a method rule: its label and its default value.
struct MethodSlot {
  const char* Label;
  QVComplex Default;
};

/// The most slots a method has.
inline constexpr int32_t MaxMethodSlots = 3;

/// The slot values of one method, read by a rule as slot[i]; the slots a
/// method lacks are (0, 0).
using SlotValues = std::array<QVComplex, MaxMethodSlots>;

}  // namespace qv
