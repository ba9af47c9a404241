// The in-process reference picture for the command-line tests and picture
// comparisons (declared in AppTestSupport.h).
#include <cstdlib>

#include "app/AppTestSupport.h"
#include "engine/QVGraph.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "source/QVSourceReader.h"

namespace qv::test {

DecodedPicture EnginePicture(const std::string& projectText, int threads) {
  DecodedPicture out;
  QVMain main;
  main.SetWorkers(threads);
  const ReadResult read = projectText.empty() ? ReadResult() : ReadProject(main, projectText);
  EXPECT_TRUE(read.Ok) << read.Describe();
  if (read.Ok && main.RunPass() && !main.Graph().Mixers.empty()) {
    const QVRGBField& field = main.Graph().Mixers.back()->RGBField;
    out.Width = field.Width;
    out.Height = field.Height;
    for (int32_t y = 0; y < field.Height; ++y) {
      out.Pixels.insert(out.Pixels.end(), field.Row(y), field.Row(y) + field.Width);
    }
  }
  return out;
}

std::string PictureDifference(const DecodedPicture& actual, const DecodedPicture& expected) {
  if (actual.Width != expected.Width || actual.Height != expected.Height) {
    return "size " + std::to_string(actual.Width) + " x " + std::to_string(actual.Height) +
           " instead of " + std::to_string(expected.Width) + " x " +
           std::to_string(expected.Height);
  }
  for (int32_t y = 0; y < actual.Height; ++y) {
    for (int32_t x = 0; x < actual.Width; ++x) {
      if (actual.At(x, y) != expected.At(x, y)) {
        return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")";
      }
    }
  }
  return "";
}

double MeanChannelDifference(const DecodedPicture& a, const DecodedPicture& b) {
  if (a.Pixels.size() != b.Pixels.size() || a.Pixels.empty()) return 255;
  double sum = 0;
  for (size_t i = 0; i < a.Pixels.size(); ++i) {
    for (int shift = 0; shift < 24; shift += 8) {
      sum += std::abs((a.Pixels[i] >> shift & 0xFF) - (b.Pixels[i] >> shift & 0xFF));
    }
  }
  return sum / (3.0 * static_cast<double>(a.Pixels.size()));
}

}  // namespace qv::test
