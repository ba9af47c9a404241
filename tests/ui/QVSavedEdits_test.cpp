// What is saved is what was rendered: random edits made as the editor makes
// them (the colour-bar view's inserts and typed inputs, the viewer's zoom
// gesture, the frames' stores into parameters and methods), then the project
// text is written and read into a second project, and both render the same
// picture bit for bit.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVGraph.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "source/QVSourceReader.h"
#include "source/QVSourceWriter.h"
#include "ui/QVColorBarView.h"
#include "ui/QVViewerGesture.h"

namespace {

using qv::ColorBarView;
constexpr int32_t kWidth = 64, kHeight = 48;

std::vector<int32_t> Pixels(const QVMixer& m) {
  std::vector<int32_t> out;
  for (int32_t y = 0; y < m.RGBField.Height; ++y) {
    for (int32_t x = 0; x < m.RGBField.Width; ++x) out.push_back(m.RGBField.Pixel(x, y));
  }
  return out;
}

class SavedEdits {
 public:
  explicit SavedEdits(uint32_t seed) : rng_(seed) {
    main_.Parameter.ChangeWidth(kWidth);
    main_.Parameter.ChangeHeight(kHeight);
    main_.Parameter.ChangeViewpoint({-0.743643887037151, 0.13182590420533});  // on the border
    main_.Parameter.ChangeScale(0.01);
    main_.Graph().Generators.front()->SetDepth(300);
    effector_ = main_.Graph().Effectors.front();
    effector_->RenderingMethod().SetParamValue(0, {20.0, 0.0});
    bar_.SetEffector(effector_);
  }

  void Edit() {
    switch (Pick(8)) {
      case 0:
      case 1:
        bar_.InsertAtColumn(Pick(ColorBarView::BarWidth + 1));
        break;
      case 2:
      case 3:
        TypeInput();
        break;
      case 4:
      case 5:
        Zoom();
        break;
      case 6:
        main_.Parameter.ChangeFractalParameter({Real(-1, 1), Real(-1, 1)});
        break;
      default:
        effector_->RenderingMethod().SetParamValue(0, {Real(5, 40), 0.0});
        break;
    }
  }

  // The picture of this project against the picture of its text read back.
  void ExpectSameAsReadBack(const std::string& what) {
    ASSERT_TRUE(main_.RunPass());
    const std::string text = qv::WriteProject(main_);
    QVParameter parameter;
    QVNodeGraph copy;
    const qv::ReadResult read = qv::ReadProjectInto(text, parameter, copy);
    ASSERT_TRUE(read.Ok) << what << ": " << read.Describe();
    ASSERT_TRUE(copy.Mixers.back()->Update(qv::Pass{})) << what;
    const std::vector<int32_t> here = Pixels(*main_.Graph().Mixers.back());
    const std::vector<int32_t> there = Pixels(*copy.Mixers.back());
    ASSERT_EQ(here.size(), there.size()) << what;
    size_t differ = 0;
    for (size_t i = 0; i < here.size(); ++i) differ += here[i] != there[i];
    ASSERT_EQ(differ, 0u) << what << ": pixels differ after a write and read\n" << text;
  }

 private:
  int32_t Pick(int32_t n) { return static_cast<int32_t>(rng_() % static_cast<uint32_t>(n)); }
  double Real(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng_); }

  // An input typed for a random entry: a full-precision value inside the bar,
  // another entry's input, or a hair beside it (which the text cannot tell apart).
  void TypeInput() {
    bar_.SetEffector(effector_);
    const int32_t n = effector_->EntryCount();
    for (int32_t k = Pick(n); k > 0; --k) bar_.SelectNext();
    const double other = effector_->EntryInput(Pick(n));
    switch (Pick(3)) {
      case 0:
        bar_.SetSelectedInput(
            bar_.ValueAtColumn(0) +
            Real(0, 1) * (bar_.ValueAtColumn(ColorBarView::BarWidth) - bar_.ValueAtColumn(0)));
        break;
      case 1:
        bar_.SetSelectedInput(other);
        break;
      default:
        bar_.SetSelectedInput(other * (1.0 + (Pick(2) ? 3e-16 : -3e-16)));
        break;
    }
  }

  // A rectangle dragged around a point near the centre, then a double-click
  // inside (zoom in) or outside (zoom out), applied as the viewer applies it.
  void Zoom() {
    using Button = QVViewerGesture::Button;
    const QVParameter& p = main_.Parameter;
    const int32_t cx = kWidth / 2 - 3 + Pick(7), cy = kHeight / 2 - 3 + Pick(7);
    const bool zoomIn = p.Scale() > 1e-12 && Pick(5) > 0;
    gesture_.Press(cx, cy, Button::Left);
    gesture_.Move(cx + 2 + Pick(12), cy, kWidth, kHeight);
    gesture_.Release(cx, cy, Button::Left);
    const int32_t x = zoomIn ? cx : 1, y = zoomIn ? cy : 1;
    gesture_.DoubleClick(x, y);
    if (gesture_.Release(x, y, Button::Left) != QVViewerGesture::Action::Apply) return;
    const std::optional<QVView> view =
        gesture_.Zoom(x, y, kWidth, kHeight, {p.Viewpoint(), p.Scale()});
    gesture_.Finish();
    if (!view) return;
    main_.Parameter.ChangeViewpoint(view->Viewpoint);
    main_.Parameter.ChangeScale(view->Scale);
  }

  QVMain main_;
  QVEffector* effector_;
  ColorBarView bar_;
  QVViewerGesture gesture_;
  std::mt19937 rng_;
};

TEST(QVSavedEdits, RandomEditorEditsRenderAsTheirProjectTextReadBack) {
  for (uint32_t seed : {1u, 2u, 3u}) {
    SavedEdits edits(seed);
    for (int step = 0; step < 40; ++step) {
      edits.Edit();
      edits.ExpectSameAsReadBack("seed " + std::to_string(seed) + ", edit " + std::to_string(step));
      if (::testing::Test::HasFatalFailure()) return;
    }
  }
}

}  // namespace
