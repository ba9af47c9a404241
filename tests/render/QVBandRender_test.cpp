// Bands, regions and supersampling against the whole render: the same bits
// for every effector setting, the differential's neighbours included.
#include "render/QVBandRender.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "base/QVDecimal.h"
#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/QVSnapshot.h"
#include "engine/deep/QVDeepKernel.h"
#include "engine/kernels/QVGeneratorKernel.h"
#include "image/QVSupersample.h"
#include "render/RenderTestPictures.h"
#include "source/QVSourceReader.h"
#include "source/QVSourceWriter.h"

namespace qv::test {
namespace {

// The effector settings of the table: differential off, the diagonal and axis
// cases, edge removal and the division by the pixel distance.
const char* const kEffectorSettings[][4] = {
    {"off", "(1, -1)", "off", "off"}, {"on", "(1, -1)", "off", "off"},
    {"on", "(-1, 1)", "off", "on"},   {"on", "(1, 0)", "off", "off"},
    {"on", "(0.3, 0.7)", "on", "on"}, {"on", "(1, 1)", "on", "off"},
};

std::string Project(const char* const settings[4], int w, int h) {
  std::string text = WriteProject(QVMain());
  text = ReplaceFirst(text, "Width: 320", "Width: " + std::to_string(w));
  text = ReplaceFirst(text, "Height: 320", "Height: " + std::to_string(h));
  text = ReplaceFirst(text, "Differential: off", std::string("Differential: ") + settings[0]);
  text = ReplaceFirst(text, "DifferentialVector: (1, -1)",
                      std::string("DifferentialVector: ") + settings[1]);
  text = ReplaceFirst(text, "DifferentialRegularSW: off",
                      std::string("DifferentialRegularSW: ") + settings[2]);
  return ReplaceFirst(text, "DifferentialEdgeSW: off",
                      std::string("DifferentialEdgeSW: ") + settings[3]);
}

// Renders plan's part of the project into a picture of engine colours.
DecodedPicture RenderPart(const std::string& project, BandPlan plan, int32_t* bandRows = nullptr) {
  QVMain main;
  EXPECT_TRUE(ReadProject(main, project).Ok);
  if (plan.Part.Empty()) plan.Part = {0, 0, main.Parameter.Width(), main.Parameter.Height()};
  const std::shared_ptr<QVSnapshot> snapshot = main.Snapshot(FrozenCopy{false});
  if (bandRows) *bandRows = BandRows(*snapshot, plan);
  const int32_t w = main.Parameter.Width(), h = main.Parameter.Height();
  DecodedPicture out{plan.Part.Width, plan.Part.Height, {}};
  const std::string error =
      RenderBands(*snapshot, plan,
                  [&](const uint32_t* pixels, int32_t rows) {
                    for (size_t i = 0; i < static_cast<size_t>(rows) * plan.Part.Width; ++i) {
                      out.Pixels.push_back(QVPicture::ToEngineColor(pixels[i]));
                    }
                  },
                  {}, {});
  EXPECT_EQ(error, "");
  // The render leaves the copy's size and window as it found them.
  EXPECT_EQ(snapshot->Parameter().Width(), w);
  EXPECT_EQ(snapshot->Parameter().Height(), h);
  EXPECT_TRUE(snapshot->Parameter().Window().Empty());
  return out;
}

DecodedPicture Crop(const DecodedPicture& whole, const PixelRect& r) {
  DecodedPicture out{r.Width, r.Height, {}};
  for (int32_t y = r.Y; y < r.Bottom(); ++y) {
    for (int32_t x = r.X; x < r.Right(); ++x) out.Pixels.push_back(whole.At(x, y));
  }
  return out;
}

constexpr int64_t kTightMemory = (int64_t{48} << 20) + 20000;  // a few rows per band

TEST(BandRender, BandsUnderASmallAllowanceEqualTheWholeRenderForEveryEffectorSetting) {
  for (const auto& settings : kEffectorSettings) {
    const std::string project = Project(settings, 61, 47);
    BandPlan plan;
    plan.MemoryAllowance = kTightMemory;
    int32_t bandRows = 0;
    const DecodedPicture banded = RenderPart(project, plan, &bandRows);
    const std::string label =
        std::string(settings[0]) + " " + settings[1] + " " + settings[2] + " " + settings[3];
    EXPECT_LT(bandRows, 47 / 3) << label;  // several bands, not one
    EXPECT_EQ(PictureDifference(banded, EnginePicture(project, 2)), "") << label;
  }
}

TEST(BandRender, RegionsEqualThoseRowsAndColumnsOfTheWholeRender) {
  for (const auto& settings : {kEffectorSettings[2], kEffectorSettings[4]}) {
    const std::string project = Project(settings, 40, 30);
    const DecodedPicture whole = EnginePicture(project);
    for (const PixelRect r :
         {PixelRect{0, 0, 1, 1}, PixelRect{13, 7, 20, 11}, PixelRect{39, 0, 1, 30},
          PixelRect{0, 29, 40, 1}, PixelRect{5, 5, 35, 25}}) {
      BandPlan plan;
      plan.Part = r;
      plan.MemoryAllowance = kTightMemory;
      EXPECT_EQ(PictureDifference(RenderPart(project, plan), Crop(whole, r)), "")
          << r.X << "," << r.Y << "," << r.Width << "," << r.Height;
    }
  }
}

// The project of settings moved to a view on the deep path: scale 1e-100 at
// a viewpoint of 108 digits near M(3,1).
std::string DeepProject(const char* const settings[4], int w, int h) {
  // Coloured by the count modulo 32, so the picture shows its detail.
  std::string text =
      ReplaceFirst(Project(settings, w, h), "RenderingMethod: 回数\n\t{\n\t\tParameter: (50, 0)",
                   "RenderingMethod: 回数(ループ)\n\t{\n\t\tParameter: (32, 0)");
  text = ReplaceFirst(text, "ConvertData: 1 255 255 255", "ConvertData: 31 255 255 255");
  QVMain main;
  EXPECT_TRUE(ReadProject(main, text).Ok);
  main.Parameter.ChangePreciseViewpoint(
      {DecimalFromText("-1.543689012692076361570855971801747986525203297650983935240804037831168673"
                       "9279738664851579145760591254621208"),
       DecimalFromText("1.23E-105")});
  main.Parameter.ChangeScale(1e-100);
  main.Graph().Generators.front()->SetDepth(3000);
  EXPECT_EQ(GeneratorKernel(*main.Graph().Generators.front()).Level(), GeneratorKernelLevel::Deep);
  return WriteProject(main);
}

// (Regions of a deep view: PictureCommands.DeepRegionsJoinIntoTheWholePicture.)
TEST(BandRender, DeepViewsInBandsEqualTheWholeRender) {
  for (const auto& settings : {kEffectorSettings[0], kEffectorSettings[1]}) {
    const std::string project = DeepProject(settings, 61, 47);
    const DecodedPicture whole = EnginePicture(project, 2);
    // A picture with detail in it, not one colour the bands could not get wrong.
    EXPECT_GE(std::set<int32_t>(whole.Pixels.begin(), whole.Pixels.end()).size(), 20u);
    BandPlan plan;
    plan.MemoryAllowance = kTightMemory;
    int32_t bandRows = 0;
    EXPECT_EQ(PictureDifference(RenderPart(project, plan, &bandRows), whole), "") << settings[0];
    EXPECT_LT(bandRows, 47 / 3);
  }
}

TEST(BandRender, SupersamplingAveragesTheFinerRenderOfTheSameFraming) {
  const std::string project = Project(kEffectorSettings[1], 24, 18);
  for (int32_t n : {2, 3}) {
    // The finer render: the same project at n times the size (the scale is the
    // picture's width in the plane, so the framing stays).
    const DecodedPicture fine = EnginePicture(Project(kEffectorSettings[1], 24 * n, 18 * n));
    std::vector<uint32_t> finePixels;
    for (int32_t c : fine.Pixels) finePixels.push_back(QVPicture::FromEngineColor(c));
    std::vector<uint32_t> averaged(24 * 18);
    AverageBlocks(finePixels.data(), static_cast<size_t>(24 * n), n, 24, 18, averaged.data());
    DecodedPicture expected{24, 18, {}};
    for (uint32_t p : averaged) expected.Pixels.push_back(QVPicture::ToEngineColor(p));
    BandPlan plan;
    plan.Supersample = n;
    plan.MemoryAllowance = kTightMemory;
    EXPECT_EQ(PictureDifference(RenderPart(project, plan), expected), "") << "n " << n;
  }
}

// A last band of its own: the sink gets the rows before it in bands of
// equal size (none above the plan's band height), then the last band, and
// the picture is the whole render's.
TEST(BandRender, LastBandOfItsOwnAfterBandsOfEqualSizeGivesTheSamePicture) {
  const std::string project = Project(kEffectorSettings[3], 50, 61);
  const DecodedPicture whole = EnginePicture(project);
  for (const int32_t last : {1, 7, 16, 31, 32, 60}) {
    QVMain main;
    ASSERT_TRUE(ReadProject(main, project).Ok);
    const std::shared_ptr<QVSnapshot> snapshot = main.Snapshot(FrozenCopy{false});
    BandPlan plan;
    plan.Part = {0, 0, 50, 61};
    plan.Workers = 2;
    plan.LastBandRows = last;
    const int32_t bandRows = BandRows(*snapshot, plan);  // 32: the least
    std::vector<int32_t> bands;
    DecodedPicture out{50, 61, {}};
    EXPECT_EQ(RenderBands(*snapshot, plan,
                          [&](const uint32_t* pixels, int32_t rows) {
                            bands.push_back(rows);
                            for (size_t i = 0; i < static_cast<size_t>(rows) * 50; ++i)
                              out.Pixels.push_back(QVPicture::ToEngineColor(pixels[i]));
                          },
                          {}, {}),
              "");
    EXPECT_EQ(PictureDifference(out, whole), "") << last;
    ASSERT_GE(bands.size(), 2u) << last;
    const bool own = last < bandRows;  // else the usual bands
    const std::vector<int32_t> before(bands.begin(), bands.end() - (own ? 1 : 0));
    const auto [low, high] = std::minmax_element(before.begin(), before.end() - (own ? 0 : 1));
    EXPECT_LE(*high, bandRows) << last;
    if (own) {
      EXPECT_EQ(bands.back(), last);
      EXPECT_LE(*high - *low, 1) << last;
    }
  }
}

// Fields, pictures and bands take their memory from the arena, which hands
// back blocks that earlier renders of other sizes wrote: no row may show
// what an earlier render left there.
TEST(BandRender, MemoryReusedFromRendersOfOtherSizesGivesTheSameBits) {
  const std::string a = Project(kEffectorSettings[4], 640, 480);
  const std::string b = Project(kEffectorSettings[1], 900, 333);
  BandPlan plan;
  plan.Workers = 2;
  const DecodedPicture first = RenderPart(a, plan);
  RenderPart(b, plan);
  BandPlan fine = plan;
  fine.Supersample = 2;
  RenderPart(b, fine);
  EXPECT_EQ(PictureDifference(RenderPart(a, plan), first), "");
  EXPECT_EQ(PictureDifference(first, EnginePicture(a)), "");
}

TEST(BandRender, PlansThatCannotWorkAreRefusedWithAReason) {
  QVMain main;
  const auto problem = [&main](const BandPlan& plan) {
    return BandPlanProblem(*main.Snapshot(FrozenCopy{false}), plan);
  };
  BandPlan plan;
  plan.Part = {10, 10, 400, 10};
  EXPECT_NE(problem(plan).find("not inside the 320 x 320 picture"), std::string::npos);
  plan.Part = {0, 0, 320, 320};
  plan.MemoryAllowance = 1 << 20;
  EXPECT_NE(problem(plan).find("--memory"), std::string::npos);
  plan.MemoryAllowance = 0;
  EXPECT_EQ(problem(plan), "");
  main.Parameter.ChangeWidth(300000000);
  plan.Supersample = 8;
  EXPECT_NE(problem(plan).find("2147483647"), std::string::npos);
}

}  // namespace
}  // namespace qv::test
