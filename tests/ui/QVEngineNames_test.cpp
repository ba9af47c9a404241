#include "ui/QVEngineNames.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTranslator>
#include <set>
#include <string>
#include <vector>

#include "engine/QVMixer.h"
#include "engine/QVParameter.h"
#include "engine/methods/QVMethodLists.h"

namespace {

bool Ascii(const std::string& text) {
  for (const unsigned char c : text) {
    if (c >= 0x80) return false;
  }
  return true;
}

template <typename List>
std::vector<std::string> MethodNames(const List& list) {
  std::vector<std::string> names;
  for (const auto* m : list) names.push_back(m->Name());
  return names;
}

template <typename List>
std::vector<std::string> SlotNames(const List& list) {
  std::vector<std::string> names;
  for (const auto* m : list) {
    for (uint32_t k = 0; k < m->ParamCount(); ++k) names.push_back(m->ParamLabel(k));
  }
  return names;
}

// In English every name of the engine's lists reads in English (a formula in
// ASCII stays as it is), and the names of one list stay apart, since a combo
// box finds its item by the shown name.
TEST(QVEngineNames, EveryEngineNameIsShownInEnglish) {
  QTranslator translator;
  ASSERT_TRUE(translator.load(QStringLiteral(":/translations/qvell_en.qm")));
  QCoreApplication::installTranslator(&translator);
  const std::vector<std::vector<std::string>> lists = {
      {FractalTypeNames.begin(), FractalTypeNames.end()},
      {TransparenceTypeNames.begin(), TransparenceTypeNames.end()},
      MethodNames(FractalMethods()),
      MethodNames(DivergenceMethods()),
      MethodNames(OutputMethods()),
      MethodNames(RenderingMethods()),
      SlotNames(FractalMethods()),
      SlotNames(DivergenceMethods()),
      SlotNames(OutputMethods()),
      SlotNames(RenderingMethods()),
  };
  int translated = 0;
  for (const auto& list : lists) {
    std::set<std::string> names(list.begin(), list.end());
    std::set<QString> shown;
    for (const std::string& name : names) {
      const QString english = qv::DisplayName(name);
      shown.insert(english);
      if (Ascii(name)) {
        EXPECT_EQ(english, QString::fromStdString(name));
        continue;
      }
      EXPECT_NE(english, QString::fromStdString(name)) << name << " has no English name";
      EXPECT_TRUE(Ascii(english.toStdString()) || english.contains(QChar(0x00D7))) << name;
      ++translated;
    }
    EXPECT_EQ(shown.size(), names.size());
  }
  QCoreApplication::removeTranslator(&translator);
  EXPECT_GT(translated, 20);
  // Without a translation the names are shown as written.
  EXPECT_EQ(qv::DisplayName(FractalTypeNames[0]), QString::fromStdString(FractalTypeNames[0]));
}

}  // namespace
