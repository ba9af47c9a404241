// The render that sharpens in passes: every pixel computed once, the first
// pass exactly the plain render's pixels at its positions, previews filling
// blocks, and the final picture the plain render's bit for bit.
#include "render/QVPreview.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <stop_token>
#include <string>
#include <utility>
#include <vector>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "engine/QVSnapshot.h"
#include "tests/source/SourceTestSupport.h"

namespace {

// "終点" that also records the first point of every orbit it watches. With
// "z^2+C", "マンデルブロ" and C = (0, 0) the first point is the pixel's own
// point, so the records say which pixels were computed, and how often. An
// output class the kernels do not know makes the generator use the plain loop.
class FirstPointOutput : public QVOutputMethod {
 public:
  struct Log {
    std::mutex Lock;
    std::map<std::pair<double, double>, int> Points;
    int StopAt = 0;  ///< when above 0, the orbit of that number asks the pass to stop
    std::stop_source Stop;
    size_t Count() {
      std::lock_guard<std::mutex> guard(Lock);
      return Points.size();
    }
  };
  explicit FirstPointOutput(std::shared_ptr<Log> log)
      : QVOutputMethod("first point", 0, {}, {}), log_(std::move(log)) {}
  std::unique_ptr<QVMethod> Clone() const override {
    return std::make_unique<FirstPointOutput>(log_);
  }
  void Start() override { record_ = {}; }
  FractalPixel Result() const override { return record_; }
  void Step(int32_t j, QVComplex z) override {
    record_ = {z, j};
    if (j != 1) return;
    std::lock_guard<std::mutex> guard(log_->Lock);
    ++log_->Points[{z.re, z.im}];
    if (log_->Points.size() == static_cast<size_t>(log_->StopAt)) log_->Stop.request_stop();
  }

 private:
  std::shared_ptr<Log> log_;
  FractalPixel record_;
};

std::vector<int32_t> Colors(const QVPicture& picture) {
  std::vector<int32_t> out;
  for (int32_t y = 0; y < picture.Height(); ++y) {
    for (int32_t x = 0; x < picture.Width(); ++x) out.push_back(picture.Color(x, y));
  }
  return out;
}

std::vector<int32_t> FieldColors(const QVRGBField& field) {
  std::vector<int32_t> out;
  for (int32_t y = 0; y < field.Height; ++y)
    out.insert(out.end(), field.Row(y), field.Row(y) + field.Width);
  return out;
}

void SetView(QVMain& main, int32_t w, int32_t h, QVComplex viewpoint, double scale) {
  main.Parameter.ChangeWidth(w);
  main.Parameter.ChangeHeight(h);
  main.Parameter.ChangeViewpoint(viewpoint);
  main.Parameter.ChangeScale(scale);
}

qv::Pass WorkersPass(int32_t workers) {
  qv::Pass pass;
  pass.Workers = workers;
  return pass;
}

TEST(QVPreview, EveryPixelIsComputedOnceAndEachPassAddsItsGrid) {
  for (const auto& [w, h] :
       std::vector<std::pair<int32_t, int32_t>>{{37, 21}, {8, 8}, {1, 1}, {17, 9}}) {
    QVMain main;
    SetView(main, w, h, {-0.5, 0.25}, 3);
    auto log = std::make_shared<FirstPointOutput::Log>();
    main.Graph().Generators[0]->SetOutputMethod(std::make_unique<FirstPointOutput>(log));
    auto snapshot = main.Snapshot(qv::FrozenCopy{false});
    // The points of the pixels whose coordinates are multiples of s.
    const qv::PlaneMapping mapping(snapshot->Parameter());
    const auto gridPoints = [&](int32_t s) {
      std::map<std::pair<double, double>, int> points;
      for (int32_t y = 0; y < h; y += s) {
        for (int32_t x = 0; x < w; x += s) {
          const QVComplex p = mapping.Point(x, y);
          points[{p.re, p.im}] = 1;
        }
      }
      return points;
    };
    int32_t pass = 0;
    const QVPreviewSink preview = [&](QVPictureRef picture) {
      const int32_t s = qv::kPreviewStrides[pass++];
      ASSERT_EQ(picture->Width(), w);
      ASSERT_EQ(picture->Height(), h);
      std::lock_guard<std::mutex> guard(log->Lock);
      EXPECT_EQ(log->Points, gridPoints(s)) << w << " x " << h << ", stride " << s;
    };
    ASSERT_TRUE(qv::RunPreviewPasses(*snapshot, WorkersPass(2), 0, preview));
    EXPECT_EQ(pass, 3);
    EXPECT_EQ(log->Count(), static_cast<size_t>(w) * static_cast<size_t>(h));
    EXPECT_EQ(log->Points, gridPoints(1)) << w << " x " << h;
  }
}

// Varied projects (every method, several generators, effectors and mixers) at
// random sizes and views, with the differential switched at random: each
// preview shows, in every block, the colour the plain render has at the
// block's computed pixel (where no differential is on), and the final
// picture is the plain render's.
TEST(QVPreview, PreviewsFillBlocksAndTheFinalPictureIsThePlainRender) {
  std::mt19937 random(18);
  for (int index = 0; index < qv::test::ProjectCount; ++index) {
    QVMain main;
    qv::test::BuildProject(main, index);
    const auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    main.Parameter.ChangeWidth(1 + below(45));
    main.Parameter.ChangeHeight(1 + below(45));
    main.Parameter.ChangeViewpoint({-0.5 + 0.125 * below(5), 0.125 * below(5)});
    bool differential = false;
    for (QVEffector* e : main.Graph().Effectors) {
      e->SetDifferential(below(2) == 1);
      differential = differential || e->Differential();
    }
    const int32_t w = main.Parameter.Width(), h = main.Parameter.Height();
    const int32_t workers = 1 + index % 3;
    auto reference = main.Snapshot(qv::FrozenCopy{false});
    ASSERT_TRUE(reference->RunPass(WorkersPass(workers)));
    ASSERT_TRUE(reference->Output());
    const std::vector<int32_t> plain = FieldColors(reference->Output()->RGBField);

    int32_t pass = 0;
    const QVPreviewSink preview = [&](QVPictureRef picture) {
      const int32_t s = qv::kPreviewStrides[pass++];
      if (differential || plain.empty()) return;
      const std::vector<int32_t> shown = Colors(*picture);
      for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
          const size_t at = static_cast<size_t>(y) * w + x;
          const size_t computed = static_cast<size_t>(y - y % s) * w + (x - x % s);
          ASSERT_EQ(shown[at], plain[computed])
              << "project " << index << ", stride " << s << ", pixel (" << x << ", " << y << ")";
        }
      }
    };
    auto snapshot = main.Snapshot(qv::FrozenCopy{false});
    ASSERT_TRUE(qv::RunPreviewPasses(*snapshot, WorkersPass(workers), 0, preview));
    EXPECT_EQ(FieldColors(snapshot->Output()->RGBField), plain)
        << "project " << index << ", " << w << " x " << h << ", differential " << differential;
  }
}

// A stop between the passes ends the render; the generators stay out of date,
// so the next render is exact.
TEST(QVPreview, AStopAfterThePreviewLeavesTheNextRenderExact) {
  QVMain main;
  SetView(main, 40, 30, {-0.5, 0}, 3);
  auto reference = main.Snapshot(qv::FrozenCopy{false});
  ASSERT_TRUE(reference->RunPass(WorkersPass(1)));
  std::stop_source stop;
  qv::Pass pass = WorkersPass(2);
  pass.Stop = stop.get_token();
  int previews = 0;
  auto snapshot = main.Snapshot();
  EXPECT_FALSE(qv::RunPreviewPasses(*snapshot, pass, 0, [&](QVPictureRef) {
    ++previews;
    stop.request_stop();
  }));
  EXPECT_EQ(previews, 1);
  auto again = main.Snapshot();
  ASSERT_TRUE(qv::RunPreviewPasses(*again, WorkersPass(2), 0, [&](QVPictureRef) { ++previews; }));
  EXPECT_EQ(previews, 4);
  EXPECT_EQ(FieldColors(again->Output()->RGBField), FieldColors(reference->Output()->RGBField));
}

// A stop in the middle of a pass (at the 50th orbit of 40 x 30 pixels: in the
// second pass) ends the render there; the next render is exact.
TEST(QVPreview, AStopInsideAPassEndsItAndTheNextRenderIsExact) {
  QVMain main;
  SetView(main, 40, 30, {-0.5, 0}, 3);
  auto log = std::make_shared<FirstPointOutput::Log>();
  main.Graph().Generators[0]->SetOutputMethod(std::make_unique<FirstPointOutput>(log));
  auto reference = main.Snapshot(qv::FrozenCopy{false});
  ASSERT_TRUE(reference->RunPass(WorkersPass(1)));
  log->Points.clear();
  log->StopAt = 50;
  qv::Pass pass = WorkersPass(1);
  pass.Stop = log->Stop.get_token();
  int previews = 0;
  auto snapshot = main.Snapshot();
  EXPECT_FALSE(qv::RunPreviewPasses(*snapshot, pass, 0, [&](QVPictureRef) { ++previews; }));
  EXPECT_EQ(previews, 1);
  EXPECT_LT(log->Count(), 50u + 2u);  // the orbit that asked, and none after it
  log->StopAt = 0;
  auto again = main.Snapshot();
  ASSERT_TRUE(qv::RunPreviewPasses(*again, WorkersPass(2), 0, {}));
  EXPECT_EQ(FieldColors(again->Output()->RGBField), FieldColors(reference->Output()->RGBField));
}

}  // namespace

// The generator's progress counts rows of the whole picture over all the
// passes: never backwards (one worker reports in order), always out of the
// picture's height, and the height when the last pass ends.
TEST(QVPreview, ProgressGrowsOverThePassesToThePicturesHeight) {
  QVMain main;
  SetView(main, 40, 30, {-0.5, 0}, 3);
  std::vector<std::pair<int, int>> reports;
  qv::Pass pass = WorkersPass(1);
  pass.Progress = [&](const std::string& name, int done, int total) {
    if (name == main.Graph().Generators[0]->Name()) reports.emplace_back(done, total);
  };
  auto snapshot = main.Snapshot();
  ASSERT_TRUE(qv::RunPreviewPasses(*snapshot, pass, 0, [](QVPictureRef) {}));
  ASSERT_FALSE(reports.empty());
  for (size_t i = 0; i < reports.size(); ++i) {
    EXPECT_EQ(reports[i].second, 30) << "report " << i;
    if (i > 0) {
      EXPECT_GE(reports[i].first, reports[i - 1].first) << "report " << i;
    }
  }
  EXPECT_EQ(reports.back().first, 30);
  EXPECT_LT(reports.front().first, 30);
}
