#include "engine/methods/QVMethod.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <typeinfo>
#include <vector>

#include "engine/QVMixer.h"
#include "engine/methods/QVDivergenceMethods.h"
#include "engine/methods/QVFractalMethods.h"
#include "engine/methods/QVOutputMethods.h"
#include "engine/methods/QVRenderingMethods.h"
#include "source/QVObjectText.h"

namespace {

// The dynamic class of a method.
const std::type_info& TypeOf(const QVMethod& method) { return typeid(method); }

struct Slot {
  std::string label;
  QVComplex value;
  std::string text;  // the value as a parameter line writes it
};

struct Expected {
  std::string name;
  std::vector<Slot> slots;
};

// The four prototype lists as the editor lists them, with every slot's label
// and default value.
const std::vector<Expected> kFractal = {
    {"z^2+C", {}},  {"z^3+C", {}},  {"z+C", {}},      {"z^-1+C", {}},
    {"z^-2+C", {}}, {"z^-3+C", {}}, {"z^-2-z^2", {}},
};

const std::vector<Expected> kDivergence = {
    {"ノルム", {}},
    {"エプシロンクロス", {{"幅", {0.01, 0.01}, "(0.01, 0.01)"}, {"回数", {0, 0}, "(0, 0)"}}},
    {"十字", {{"幅", {0.6, 0.6}, "(0.6, 0.6)"}, {"回数", {0, 0}, "(0, 0)"}}},
};

const std::vector<Expected> kOutput = {
    {"終点", {}},
    {"球", {{"位置", {0, 0}, "(0, 0)"}, {"開始回数", {0, 0}, "(0, 0)"}}},
    {"差分累積", {{"定数", {0.5, 0.5}, "(0.5, 0.5)"}, {"開始回数", {1, 0}, "(1, 0)"}}},
    {"市松模様累積",
     {{"幅", {0.1, 0.1}, "(0.1, 0.1)"},
      {"バイアス", {0, 0}, "(0, 0)"},
      {"開始回数", {0, 0}, "(0, 0)"}}},
};

const std::vector<Expected> kRendering = {
    {"回数", {{"定数", {50, 0}, "(50, 0)"}}},
    {"回数0", {}},
    {"実部", {}},
    {"虚部", {}},
    {"実数虚数比", {{"中心点", {0, 0}, "(0, 0)"}}},
    {"実数虚数積", {{"中心点", {0, 0}, "(0, 0)"}}},
    {"大きさ", {{"中心点", {0, 0}, "(0, 0)"}}},
    {"角度", {{"中心点", {0, 0}, "(0, 0)"}}},
    {"回数(ループ)", {{"ループサイズ", {8, 0}, "(8, 0)"}}},
    {"十字", {{"幅", {0.01, 0.01}, "(0.01, 0.01)"}}},
    {"log(大きさ)", {{"中心点", {0, 0}, "(0, 0)"}}},
    {"log(log(大きさ))", {{"中心点", {0, 0}, "(0, 0)"}}},
};

template <typename T>
std::vector<const QVMethod*> Widen(const std::vector<const T*>& list) {
  return std::vector<const QVMethod*>(list.begin(), list.end());
}

struct Family {
  const char* name;
  std::vector<const QVMethod*> prototypes;
  const std::vector<Expected>* expected;
};

std::vector<Family> AllFamilies() {
  return {{"fractal", Widen(FractalMethods()), &kFractal},
          {"divergence", Widen(DivergenceMethods()), &kDivergence},
          {"output", Widen(OutputMethods()), &kOutput},
          {"rendering", Widen(RenderingMethods()), &kRendering}};
}

// A value per slot that differs from every default and writes exactly.
QVComplex Edited(uint32_t i) { return {1.5 + i, -0.25 - 2.0 * i}; }

template <typename T>
std::unique_ptr<T> ReadEntry(qv::SourceText& text, const std::vector<const T*>& list) {
  return qv::ReadMethodEntry(text, list, "method");
}

template <typename T>
std::unique_ptr<T> ReadEntry(const std::string& source, const std::vector<const T*>& list) {
  qv::SourceText text(source);
  return ReadEntry(text, list);
}

// Every method of a family, with edited values, written as an entry and read back.
template <typename T>
void CheckRoundTrip(const std::vector<const T*>& list) {
  const std::vector<QVComplex> values = {{0.125, -3e-300}, {1e20, -12345.678}, {-0.001, 7}};
  for (const T* prototype : list) {
    SCOPED_TRACE(prototype->Name());
    std::unique_ptr<QVMethod> original = prototype->Clone();
    for (uint32_t i = 0; i < original->ParamCount(); ++i) original->SetParamValue(i, values[i]);
    const std::string written = qv::WriteBlock(*original, "\t");
    qv::SourceText text(written + "\tNextKey: 1\n");
    std::unique_ptr<T> back = ReadEntry(text, list);
    ASSERT_NE(back, nullptr) << text.ErrorMessage();
    EXPECT_FALSE(text.HasError());
    EXPECT_EQ(TypeOf(*back), TypeOf(*prototype));
    EXPECT_EQ(back->Name(), prototype->Name());
    EXPECT_EQ(back->ParamValues(), original->ParamValues());
    EXPECT_EQ(std::string(text.Rest()), "NextKey: 1\n");  // the empty line is consumed
    EXPECT_EQ(qv::WriteBlock(*back, "\t"), written);
  }
}

}  // namespace

TEST(QVMethod, PrototypeListsFollowTheTablesInOrder) {
  for (const Family& family : AllFamilies()) {
    ASSERT_EQ(family.prototypes.size(), family.expected->size()) << family.name;
    for (size_t k = 0; k < family.prototypes.size(); ++k) {
      const QVMethod& m = *family.prototypes[k];
      const Expected& e = (*family.expected)[k];
      SCOPED_TRACE(std::string(family.name) + " #" + std::to_string(k) + " " + e.name);
      EXPECT_EQ(m.Name(), e.name);
      EXPECT_EQ(m.Kind(), static_cast<int32_t>(k));
      ASSERT_EQ(m.ParamCount(), e.slots.size());
      ASSERT_EQ(m.ParamLabels().size(), e.slots.size());
      ASSERT_EQ(m.ParamValues().size(), e.slots.size());
      for (uint32_t i = 0; i < m.ParamCount(); ++i) {
        EXPECT_EQ(m.ParamLabel(i), e.slots[i].label);
        EXPECT_EQ(m.ParamValue(i), e.slots[i].value);
      }
    }
  }
}

// A project names a method, and a mixer its transparence type, by display name,
// looked up from the front: a name listed twice would hide the later rule.
TEST(QVMethod, EveryFamilyNamesEachRuleOnce) {
  std::vector<std::pair<std::string, std::vector<std::string>>> families;
  for (const Family& family : AllFamilies()) {
    families.push_back({family.name, {}});
    for (const QVMethod* m : family.prototypes) families.back().second.push_back(m->Name());
  }
  families.push_back(
      {"transparence", {TransparenceTypeNames.begin(), TransparenceTypeNames.end()}});
  for (const auto& [family, names] : families) {
    std::set<std::string> seen;
    for (const std::string& name : names) {
      EXPECT_TRUE(seen.insert(name).second) << family << " lists " << name << " twice";
    }
  }
}

TEST(QVMethod, PrototypeListsAreBuiltOnce) {
  EXPECT_EQ(&FractalMethods(), &FractalMethods());
  EXPECT_EQ(FractalMethods()[0], FractalMethods()[0]);
  EXPECT_EQ(RenderingMethods().back(), RenderingMethods().back());
}

TEST(QVMethod, FindMethodSearchesOneFamilyByExactName) {
  const QVDivergenceMethod* cross = FindMethod(DivergenceMethods(), "十字");
  ASSERT_NE(cross, nullptr);
  EXPECT_EQ(TypeOf(*cross), typeid(QVDivergenceMethod_Cross));
  const QVRenderingMethod* crossRender = FindMethod(RenderingMethods(), "十字");
  ASSERT_NE(crossRender, nullptr);
  EXPECT_EQ(TypeOf(*crossRender), typeid(QVRenderingMethod_Cross));

  EXPECT_EQ(FindMethod(FractalMethods(), "z^2+c"), nullptr);
  EXPECT_EQ(FindMethod(FractalMethods(), "z^2+C"), FractalMethods()[0]);
  EXPECT_EQ(FindMethod(FractalMethods(), " z^2+C"), nullptr);
  EXPECT_EQ(FindMethod(FractalMethods(), ""), nullptr);
  EXPECT_EQ(FindMethod(OutputMethods(), "十字"), nullptr);
  EXPECT_EQ(FindMethod(RenderingMethods(), "回数"), RenderingMethods()[0]);
}

TEST(QVMethod, CloneKeepsClassKindLabelsAndValues) {
  for (const Family& family : AllFamilies()) {
    for (const QVMethod* prototype : family.prototypes) {
      SCOPED_TRACE(prototype->Name());
      std::unique_ptr<QVMethod> first = prototype->Clone();
      for (uint32_t i = 0; i < first->ParamCount(); ++i) first->SetParamValue(i, Edited(i));
      std::unique_ptr<QVMethod> second = first->Clone();

      EXPECT_EQ(TypeOf(*second), TypeOf(*prototype));
      EXPECT_EQ(second->Name(), prototype->Name());
      EXPECT_EQ(second->Kind(), prototype->Kind());
      EXPECT_EQ(second->ParamLabels(), prototype->ParamLabels());
      ASSERT_EQ(second->ParamCount(), prototype->ParamCount());
      for (uint32_t i = 0; i < second->ParamCount(); ++i) {
        EXPECT_EQ(second->ParamValue(i), Edited(i));
      }
      // The clone's values last changed when its original's did.
      if (first->ParamCount() > 0) {
        EXPECT_GT(first->Stamp(), prototype->Stamp());
      }
      EXPECT_EQ(second->Stamp(), first->Stamp());
      // Editing the clones leaves the prototype at its defaults.
      EXPECT_EQ(prototype->ParamValues(), prototype->Clone()->ParamValues());
    }
  }
}

TEST(QVMethod, ChoosingAMethodAgainRestoresItsDefaults) {
  std::unique_ptr<QVRenderingMethod> method = qv::CloneAs(*RenderingMethods()[0]);
  method->SetParamValue(0, {7, 7});
  method = qv::CloneAs(*RenderingMethods()[8]);
  method = qv::CloneAs(*RenderingMethods()[0]);
  EXPECT_EQ(method->ParamValue(0), (QVComplex{50, 0}));
  EXPECT_EQ(TypeOf(*method), typeid(QVRenderingMethod_Count));
}

TEST(QVMethod, SlotsBeyondParamCountAreEmptyAndIgnored) {
  std::unique_ptr<QVMethod> stalks = DivergenceMethods()[1]->Clone();
  std::unique_ptr<QVMethod> norm = DivergenceMethods()[0]->Clone();
  for (QVMethod* m : {stalks.get(), norm.get()}) {
    SCOPED_TRACE(m->Name());
    const uint64_t stamp = m->Stamp();
    for (uint32_t i : {m->ParamCount(), m->ParamCount() + 1, 3u, UINT32_MAX}) {
      EXPECT_EQ(m->ParamLabel(i), "");
      EXPECT_EQ(m->ParamValue(i), (QVComplex{0, 0}));
      m->SetParamValue(i, {9, 9});
      EXPECT_EQ(m->ParamValue(i), (QVComplex{0, 0}));
    }
    EXPECT_EQ(m->Stamp(), stamp);
    EXPECT_EQ(m->ParamValues().size(), m->ParamCount());
  }
  EXPECT_EQ(stalks->ParamValue(0), (QVComplex{0.01, 0.01}));
  EXPECT_EQ(stalks->ParamValue(1), (QVComplex{0, 0}));
}

TEST(QVMethod, SetParamValueTakesANewerStampEvenWithTheSameValue) {
  std::unique_ptr<QVMethod> m = OutputMethods()[1]->Clone();
  uint64_t before = m->Stamp();
  m->SetParamValue(1, {2, 0});
  EXPECT_GT(m->Stamp(), before);
  EXPECT_EQ(m->ParamValue(1), (QVComplex{2, 0}));
  before = m->Stamp();
  m->SetParamValue(1, {2, 0});
  EXPECT_GT(m->Stamp(), before);
}

TEST(QVMethod, ClonedPrototypeWritesOneParameterLinePerSlotWithDefaults) {
  for (const Family& family : AllFamilies()) {
    for (size_t k = 0; k < family.prototypes.size(); ++k) {
      const Expected& e = (*family.expected)[k];
      SCOPED_TRACE(e.name);
      std::string want = e.name + "\n\t{\n";
      for (const Slot& slot : e.slots) want += "\t\tParameter: " + slot.text + "\n";
      EXPECT_EQ(qv::WriteBlock(*family.prototypes[k]->Clone(), "\t"), want + "\t}\n\n");
    }
  }
}

TEST(QVMethod, MethodEntryIsTheBlockForm) {
  const QVDivergenceMethod& stalks = *DivergenceMethods()[1];
  EXPECT_EQ(qv::WriteBlock(stalks, ""),
            "エプシロンクロス\n{\n\tParameter: (0.01, 0.01)\n\tParameter: (0, 0)\n}\n\n");
  EXPECT_EQ(qv::WriteBlock(*OutputMethods()[0], "\t"), "終点\n\t{\n\t}\n\n");
  std::unique_ptr<QVMethod> ball = OutputMethods()[1]->Clone();
  ball->SetParamValue(0, {-1.5, 2.5E-7});
  EXPECT_EQ(qv::WriteBlock(*ball, "\t"),
            "球\n\t{\n\t\tParameter: (-1.5, 2.5E-7)\n\t\tParameter: (0, 0)\n\t}\n\n");
}

TEST(QVMethod, MethodEntryRoundTripsEveryMethod) {
  CheckRoundTrip(FractalMethods());
  CheckRoundTrip(DivergenceMethods());
  CheckRoundTrip(OutputMethods());
  CheckRoundTrip(RenderingMethods());
}

TEST(QVMethod, ReadMethodEntryAcceptsCrLfAndBlockWithoutParameters) {
  std::unique_ptr<QVOutputMethod> end = ReadEntry("終点\n{\n}\n\n", OutputMethods());
  ASSERT_NE(end, nullptr);
  EXPECT_EQ(TypeOf(*end), typeid(QVOutputMethod_EndPoint));

  std::unique_ptr<QVDivergenceMethod> cross = ReadEntry(
      "十字\r\n{\r\n\tParameter: (1, 2)\r\n\tParameter:  ( 3 ,4 )\r\n}\r\n", DivergenceMethods());
  ASSERT_NE(cross, nullptr);
  EXPECT_EQ(TypeOf(*cross), typeid(QVDivergenceMethod_Cross));
  EXPECT_EQ(cross->ParamValue(0), (QVComplex{1, 2}));
  EXPECT_EQ(cross->ParamValue(1), (QVComplex{3, 4}));
  // Read values take a newer stamp than the prototype's.
  EXPECT_GT(cross->Stamp(), DivergenceMethods()[2]->Stamp());
}

TEST(QVMethod, ReadMethodEntryFailsOnUnknownName) {
  qv::SourceText text("z^2+c\n{\n}\n");
  EXPECT_EQ(ReadEntry(text, FractalMethods()), nullptr);
  ASSERT_TRUE(text.HasError());
  EXPECT_NE(text.ErrorMessage().find("z^2+c"), std::string::npos) << text.ErrorMessage();
  EXPECT_EQ(text.ErrorPosition(), 0u);
}

TEST(QVMethod, ParameterKeywordNeedsABlankBeforeTheValue) {
  const std::string source = "エプシロンクロス\n{\n\tParameter:(1, 2)\n\tParameter: (0, 0)\n}\n";
  qv::SourceText text(source);
  EXPECT_EQ(ReadEntry(text, DivergenceMethods()), nullptr);
  ASSERT_TRUE(text.HasError());
  EXPECT_NE(text.ErrorMessage().find("\"Parameter:\""), std::string::npos) << text.ErrorMessage();
  EXPECT_EQ(text.ErrorPosition(), source.find("Parameter:("));
}

TEST(QVMethod, SurplusParameterLineFailsAtClosingBrace) {
  const std::string source =
      "十字\n{\n\tParameter: (1, 2)\n\tParameter: (3, 4)\n\tParameter: (5, 6)\n}\n";
  qv::SourceText text(source);
  EXPECT_EQ(ReadEntry(text, DivergenceMethods()), nullptr);
  ASSERT_TRUE(text.HasError());
  EXPECT_EQ(text.ErrorMessage(), "expected \"}\"");
  EXPECT_EQ(text.ErrorPosition(), source.find("Parameter: (5"));
}

TEST(QVMethod, MissingParameterLineFails) {
  qv::SourceText text("差分累積\n{\n\tParameter: (1, 1)\n}\n");
  EXPECT_EQ(ReadEntry(text, OutputMethods()), nullptr);
  ASSERT_TRUE(text.HasError());
  EXPECT_NE(text.ErrorMessage().find("parameter 2 of 2"), std::string::npos) << text.ErrorMessage();
}

TEST(QVMethod, FailedReadKeepsSlotsReadSoFarAndLaterDefaults) {
  std::unique_ptr<QVMethod> m = OutputMethods()[3]->Clone();
  qv::SourceText text(m->Name() +
                      "\n{\n\tParameter: (1, 2)\n\tParameter: (x, 0)\n\tParameter: (5, 0)\n}\n");
  const uint64_t before = m->Stamp();
  EXPECT_TRUE(qv::ReadBlock(*m, text));
  EXPECT_EQ(text.ErrorMessage(), "expected a number");
  EXPECT_EQ(m->ParamValue(0), (QVComplex{1, 2}));
  EXPECT_EQ(m->ParamValue(1), (QVComplex{0, 0}));
  EXPECT_EQ(m->ParamValue(2), (QVComplex{0, 0}));
  EXPECT_GT(m->Stamp(), before);
}

TEST(QVMethod, BlockOfMethodWithoutSlotsReadsNoParameterLine) {
  std::unique_ptr<QVMethod> m = FractalMethods()[0]->Clone();
  const uint64_t before = m->Stamp();
  qv::SourceText text(m->Name() + "\n{\n}\nParameter: (1, 2)\n");
  EXPECT_FALSE(qv::ReadBlock(*m, text));
  EXPECT_EQ(std::string(text.Rest()), "Parameter: (1, 2)\n");
  EXPECT_EQ(m->Stamp(), before);
}
