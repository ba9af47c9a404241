#pragma once
// The viewer's status line and its caption at the end of a render, without
// widgets: the plane point under the pointer, and what became of the latest
// render request (drawing, finished with its time and pixels per second,
// stopped, not started and why, failed), or a refused view change. The viewer
// reports each event of its render here and shows the texts. Plain class;
// UI thread.
#include <QCoreApplication>
#include <chrono>
#include <cstdint>
#include <string>

#include "base/QVComplex.h"
#include "base/QVDecimal.h"
#include "ui/QVViewZoom.h"

class QVViewerStatus {
  Q_DECLARE_TR_FUNCTIONS(QVViewerStatus)

 public:
  using Clock = std::chrono::steady_clock;
  enum class State { Idle, Rendering, Finished, Stopped, NothingToDraw, Failed };

  /// A render of a picture of pixels pixels started at now.
  void Started(Clock::time_point now, int64_t pixels);
  /// A picture of the render arrived at now.
  void PictureShown(Clock::time_point now);
  /// The user stopped the render.
  void Stopped();
  /// The render's end arrived: it finished when its picture arrived before,
  /// and was stopped when neither its picture nor an error did.
  void Ended();
  /// The render failed; message says why.
  void Failed(const std::string& message);
  /// No render was started; reason says why (see NothingToDrawReason).
  void NothingToDraw(const std::string& reason);
  /// A note about the latest request that was refused (a view change), shown
  /// until the next event of a render.
  void Note(const std::string& note);

  State Current() const { return state_; }
  /// The render part of the status line.
  std::string Text() const;
  /// The viewer's caption once a render has ended: base, or a stopped
  /// render's "base [中断]".
  std::string Caption(const std::string& base) const;

  /// Why a project with mixers mixers and a w x h picture cannot be drawn,
  /// in the editor's words; "" when it can.
  static std::string NothingToDrawReason(size_t mixers, int32_t w, int32_t h);
  /// "座標 (re, im)": the plane point with the digits that tell apart points
  /// pixel apart (at most 15).
  static std::string PointText(QVComplex point, double pixel);
  /// The same for a point held with every digit (precise, point its doubles):
  /// where a part needs more than 15 digits to reach the pixel's place, the
  /// parts are shown from precise with every digit that place needs.
  static std::string PointText(const qv::DecimalComplex& precise, QVComplex point, double pixel);
  /// The note of a view that needs the deep path while its formula has none:
  /// it is computed in doubles and shows blocks of equal pixels.
  static std::string DeepPathRefusalText(const std::string& formula, double scale);
  /// "描画完了 S 秒（毎秒 N 画素）".
  static std::string FinishedText(double seconds, int64_t pixels);
  /// The note of a view on the deep path (perturbation against one reference
  /// orbit) and the depth its generators use, lowest to highest: "深い視点
  /// （摂動計算）深さ N", or "深さ N〜M" when they differ.
  static std::string DeepPathText(int32_t lowestDepth, int32_t highestDepth);
  /// Why a view change was refused; change names it ("拡大", "縮小", "移動").
  static std::string RefusalText(qv::ViewRefusal why, const std::string& change);

 private:
  State state_ = State::Idle;
  Clock::time_point start_{};
  int64_t pixels_ = 0;
  bool pictured_ = false;
  double seconds_ = 0.0;
  std::string reason_;  // of NothingToDraw and Failed
  std::string note_;
};
