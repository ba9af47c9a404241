#include "engine/QVMixerRows.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/QVEffector.h"
#include "engine/QVEffectorRows.h"
#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

using qv::test::MixerPixels;

// Channels biased towards 0 and 255, so that black sources, saturated sums and
// normalisation all occur; now and then a stray top byte, which reads as nothing.
int32_t RandomColour(std::mt19937& rng) {
  auto channel = [&rng] {
    switch (rng() % 4) {
      case 0:
        return 0;
      case 1:
        return 255;
      default:
        return static_cast<int>(rng() % 256);
    }
  };
  const int32_t c = PackRGB(channel(), channel(), channel());
  return rng() % 16 == 0 ? static_cast<int32_t>(static_cast<uint32_t>(c) | 0xAB000000u) : c;
}

void Fill(QVRGBField& f, int32_t w, int32_t h, std::mt19937& rng) {
  f.Resize(w, h);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) f.Put(x, y, RandomColour(rng));
  }
}

// A default graph plus a pool of effectors with hand-filled pictures of several
// sizes (the mixer's own 13 x 7, smaller, larger, empty) and a second mixer on
// top of the first.
class MixerRowsTest : public ::testing::Test {
 protected:
  static constexpr int32_t kW = 13, kH = 7;
  QVMain main_;
  QVNodeGraph& graph_ = main_.Graph();
  QVMixer& bottom_ = *graph_.Mixers[0];
  QVMixer* top_ = nullptr;
  std::vector<QVEffector*> pool_;
  std::mt19937 rng_{2024};

  void SetUp() override {
    top_ = graph_.AddMixer();  // its base is bottom_
    const std::vector<std::pair<int32_t, int32_t>> sizes = {{kW, kH}, {kW, kH}, {kW, kH}, {5, 3},
                                                            {20, 9},  {0, 0},   {kW, 2},  {2, kH}};
    for (auto [w, h] : sizes) {
      pool_.push_back(graph_.AddEffector(nullptr));
      Fill(pool_.back()->RGBField, w, h, rng_);
    }
  }

  QVSourceList RandomList(bool firstFull) {
    QVSourceList list;
    const int n = static_cast<int>(rng_() % 5);
    for (int i = 0; i < n; ++i) {
      const int32_t ops[] = {'+', '*', '*', '-'};
      QVEffector* e = pool_[rng_() % pool_.size()];
      if (i == 0 && firstFull) e = pool_[0];
      list.push_back({ops[rng_() % 4], e});
    }
    return list;
  }

  std::vector<int32_t> Picture(QVMixer& m, bool plain, int workers = 2) {
    qv::Pass pass = qv::test::WorkersPass(workers);
    pass.PlainRows = plain;
    EXPECT_TRUE(m.Compute(pass));
    return MixerPixels(m);
  }

  void ExpectSame(QVMixer& m, const std::string& what, int workers = 2) {
    const std::vector<int32_t> plain = Picture(m, true, workers);
    const std::vector<int32_t> fast = Picture(m, false, workers);
    ASSERT_EQ(fast, plain) << what;
  }
};

}  // namespace

TEST_F(MixerRowsTest, EveryTypeListAndBaseMatchesThePlainWorker) {
  int round = 0;
  for (int base = 0; base < 3; ++base) {  // 0: no base mixer, 1: a base picture, 2: an empty base
    QVMixer& m = base == 0 ? bottom_ : *top_;
    if (base == 1) Fill(bottom_.RGBField, kW, kH, rng_);
    if (base == 2) bottom_.RGBField.Resize(0, 0);
    // Every listed type, and one on each side of the list (they combine as the first).
    for (int32_t type = -1; type <= qv::mix::TransparenceRules::Count; ++type) {
      for (bool regular : {true, false}) {
        for (int lists = 0; lists < 12; ++lists) {
          m.SetTransparenceType(type);
          m.SetRegular(regular);
          // Without a usable base the size comes from the first source element.
          m.SetSourceList(RandomList(base != 1 && lists % 4 != 3));
          m.SetTransparenceList(RandomList(false));
          const int workers = round % 7 + 1;
          ExpectSame(m,
                     "base " + std::to_string(base) + ", type " + std::to_string(type) +
                         ", regular " + std::to_string(regular) + ", lists " +
                         std::to_string(lists) + ", workers " + std::to_string(workers),
                     workers);
          ++round;
        }
      }
    }
  }
}

TEST_F(MixerRowsTest, HandPickedListsMatchThePlainWorker) {
  Fill(bottom_.RGBField, kW, kH, rng_);
  using List = std::vector<std::pair<int32_t, int>>;  // operator, pool index
  const std::vector<List> lists = {
      {},                              // empty
      {{'*', 0}},                      // a leading '*' contributes 0
      {{'*', 1}, {'+', 2}},            // ... and is then replaced
      {{'+', 0}, {'*', 1}, {'+', 2}},  // A * B / 255 + C
      {{'+', 0}, {'+', 0}, {'+', 0}},  // sums beyond 255
      {{'+', 3}, {'*', 0}},            // smaller first picture
      {{'+', 0}, {'*', 5}},            // multiplied by an empty picture
      {{'+', 4}, {'*', 6}, {'+', 7}},  // larger, short rows, narrow columns
      {{'+', 5}, {'*', 0}, {'+', 1}},  // an empty first picture
  };
  for (size_t s = 0; s < lists.size(); ++s) {
    for (size_t t = 0; t < lists.size(); ++t) {
      for (int32_t type : {0, 1, 2, 3, 4}) {
        auto build = [&](const List& l) {
          QVSourceList out;
          for (auto [op, i] : l) out.push_back({op, pool_[static_cast<size_t>(i)]});
          return out;
        };
        top_->SetSourceList(build(lists[s]));
        top_->SetTransparenceList(build(lists[t]));
        top_->SetTransparenceType(type);
        top_->SetRegular((s + t) % 2 == 0);
        ExpectSame(*top_, "source " + std::to_string(s) + ", transparence " + std::to_string(t) +
                              ", type " + std::to_string(type));
      }
    }
  }
}

TEST_F(MixerRowsTest, WorkedExamplesHoldOnTheFastPath) {
  // Type 0 over a base of (100, 100, 100) with one source of (200, 100, 50).
  bottom_.RGBField.Resize(1, 1);
  bottom_.RGBField.Put(0, 0, PackRGB(100, 100, 100));
  pool_[0]->RGBField.Resize(1, 1);
  pool_[0]->RGBField.Put(0, 0, PackRGB(200, 100, 50));
  top_->AppendSource('+', pool_[0]);
  EXPECT_EQ(Picture(*top_, false), (std::vector<int32_t>{PackRGB(255, 170, 127)}));
  top_->SetRegular(false);
  EXPECT_EQ(Picture(*top_, false), (std::vector<int32_t>{PackRGB(255, 200, 150)}));
  // A source of A "+" and B "*": (255, 128, 0) * (128, 128, 128) / 255 = (128, 64, 0).
  top_->SetSourceList({});
  pool_[0]->RGBField.Put(0, 0, PackRGB(255, 128, 0));
  pool_[1]->RGBField.Resize(1, 1);
  pool_[1]->RGBField.Put(0, 0, PackRGB(128, 128, 128));
  top_->AppendSource('+', pool_[0]);
  top_->AppendSource('*', pool_[1]);
  top_->SetTransparenceType(3);  // a non-black source hides the base
  EXPECT_EQ(Picture(*top_, false), (std::vector<int32_t>{PackRGB(128, 64, 0)}));
}

// Type 2 weighs the source by 255 - T: a source channel of 254 under a
// transparence of 1 over a black base gives 254 * 254 / 255 = 253 (a weight
// of 256 - T would give 254); green 128 * 255 / 255 = 128; blue 10 * 0 = 0.
TEST_F(MixerRowsTest, CrossFadeWeighsTheSourceByTheComplement) {
  bottom_.RGBField.Resize(1, 1);
  bottom_.RGBField.Put(0, 0, PackRGB(0, 0, 0));
  pool_[0]->RGBField.Resize(1, 1);
  pool_[0]->RGBField.Put(0, 0, PackRGB(254, 128, 10));
  pool_[1]->RGBField.Resize(1, 1);
  pool_[1]->RGBField.Put(0, 0, PackRGB(1, 0, 255));
  top_->AppendSource('+', pool_[0]);
  top_->AppendTransparence('+', pool_[1]);
  top_->SetTransparenceType(2);
  for (bool plain : {true, false}) {
    EXPECT_EQ(Picture(*top_, plain), (std::vector<int32_t>{PackRGB(253, 128, 0)})) << plain;
  }
}

TEST_F(MixerRowsTest, LongestFastListsStayExact) {
  // The largest sums the 32-bit channels must hold: every element white, over
  // a white base, through types 2 and 0 with normalisation.
  Fill(bottom_.RGBField, kW, kH, rng_);
  for (int32_t y = 0; y < kH; ++y) {
    for (int32_t x = 0; x < kW; ++x) {
      pool_[0]->RGBField.Put(x, y, PackRGB(255, 255, 255));
      bottom_.RGBField.Put(x, y, PackRGB(255, 255, 255));
    }
  }
  top_->SetSourceList(QVSourceList(qv::MaxFastListLength, QVSourceElement{'+', pool_[0]}));
  top_->AppendTransparence('+', pool_[1]);
  ASSERT_TRUE(qv::MixerRowsApply(*top_));
  for (int32_t type : {0, 2, 4}) {
    top_->SetTransparenceType(type);
    ExpectSame(*top_, "type " + std::to_string(type));
  }
  top_->AppendSource('+', pool_[0]);
  EXPECT_FALSE(qv::MixerRowsApply(*top_));
}

TEST(MixerRows, StackWithMaskThroughAPassMatchesThePlainPictures) {
  QVMain main;
  main.Parameter.ChangeWidth(29);
  main.Parameter.ChangeHeight(17);
  QVNodeGraph& graph = main.Graph();
  QVEffector& e0 = *graph.Effectors[0];
  auto* e1 = graph.AddEffector(graph.Generators[0]);
  e1->SetDifferential(true);
  e1->InsertEntry(PackRGB(255, 0, 0), 0.5);
  auto* m1 = graph.AddMixer();
  m1->SetTransparenceType(2);
  m1->AppendSource('+', e1);
  m1->AppendTransparence('+', &e0);
  auto* m2 = graph.AddMixer();  // passes m1 through
  m2->AppendSource('+', &e0);
  auto* m3 = graph.AddMixer();
  m3->SetTransparenceType(4);
  m3->AppendSource('*', e1);
  m3->AppendSource('+', e1);
  main.SetWorkers(2);
  for (bool mask : {false, true}) {
    m2->SetMaskSW(mask);
    std::vector<std::vector<int32_t>> pictures[2];
    for (int plain = 0; plain < 2; ++plain) {
      main.PlainRows = plain == 1;
      for (QVEffector* e : {&e0, e1}) e->MarkChanged();
      ASSERT_TRUE(main.RunPass());
      for (QVMixer* m : graph.Mixers) pictures[plain].push_back(MixerPixels(*m));
    }
    ASSERT_EQ(pictures[0].back().size(), 29u * 17u);
    EXPECT_EQ(pictures[0], pictures[1]) << "mask " << mask;
  }
}
