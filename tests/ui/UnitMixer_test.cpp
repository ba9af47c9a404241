#include "ui/UnitMixer.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include "engine/QVEffector.h"
#include "engine/QVMixer.h"
#include "tests/ui/UiNodeEditorsSupport.h"
#include "ui/QVText.h"

namespace {

QStringList Items(const QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

TEST(TFrameMixer, DefaultMixerShowsItsSettingsAndSourceLine) {
  qv::test::NodeEditors e;
  TFrameMixer& f = *e.formMixer.FrameMixer1;
  f.SetMixer(e.main.Graph().Mixers[0]);
  f.UpdateView();
  EXPECT_EQ(f.EditName->text().toStdString(), e.main.Graph().Mixers[0]->Name());
  EXPECT_EQ(f.ComboBoxTransparenceType->currentText(), QString::fromUtf8("和合成"));
  EXPECT_TRUE(f.CheckBoxRegular->isChecked());
  EXPECT_FALSE(f.CheckBoxMaskSW->isChecked());
  EXPECT_EQ(Items(f.ListBoxSource),
            QStringList{qv::ToQString("+" + e.main.Graph().Effectors[0]->Name())});
  EXPECT_EQ(f.ListBoxTransparence->count(), 0);
  f.ComboBoxTransparenceType->setCurrentIndex(4);  // "黒色透過２"
  EXPECT_EQ(e.main.Graph().Mixers[0]->TransparenceType(), 4);
}

TEST(TFrameMixer, ListsFollowTheShownMixerFromFiveLinesToThree) {
  qv::test::NodeEditors e;
  e.main.Graph().Rename(*e.main.Graph().Effectors[0], "E");
  auto* five = new QVMixer(e.main.Graph());
  auto* three = new QVMixer(e.main.Graph());
  for (int i = 0; i < 5; ++i) five->AppendSource(i % 2 ? '*' : '+', e.main.Graph().Effectors[0]);
  for (const char op : {'-', '+', '*'}) three->AppendSource(op, e.main.Graph().Effectors[0]);
  three->AppendTransparence('+', e.main.Graph().Effectors[0]);
  TFrameMixer& f = *e.formMixer.FrameMixer1;
  f.SetMixer(five);
  f.UpdateView();
  EXPECT_EQ(Items(f.ListBoxSource), (QStringList{"+E", "*E", "+E", "*E", "+E"}));
  three->SetTransparenceType(7);  // no such type: shown as none, stored as it is
  f.SetMixer(three);
  f.UpdateView();
  EXPECT_EQ(Items(f.ListBoxSource), (QStringList{"-E", "+E", "*E"}));
  EXPECT_EQ(Items(f.ListBoxTransparence), QStringList{"+E"});
  EXPECT_EQ(f.ComboBoxTransparenceType->currentIndex(), -1);
  EXPECT_EQ(three->TransparenceType(), 7);
}

}  // namespace
