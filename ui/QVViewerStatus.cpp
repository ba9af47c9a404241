#include "ui/QVViewerStatus.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "base/QVScan.h"
#include "ui/QVText.h"

namespace {

// value in the general format with digits significant digits (no locale).
std::string General(double value, int digits) {
  char buf[64];
  const auto end =
      std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, digits).ptr;
  return std::string(buf, end);
}

std::string Fixed(double value, int decimals) {
  char buf[64];
  const auto end =
      std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals).ptr;
  return std::string(buf, end);
}

// 1234567 -> "1,234,567".
std::string Grouped(int64_t value) {
  std::string digits = std::to_string(value);
  for (int64_t i = static_cast<int64_t>(digits.size()) - 3; i > 0; i -= 3) {
    digits.insert(static_cast<size_t>(i), ",");
  }
  return digits;
}

// The significant digits that show part to the pixel's decimal place.
int DigitsFor(double part, double pixel) {
  if (!(pixel > 0.0) || !std::isfinite(pixel) || !std::isfinite(part)) return 15;
  const double whole = std::floor(std::log10(std::max(std::fabs(part), pixel)));
  const double step = std::floor(std::log10(pixel));
  return static_cast<int>(std::clamp(whole - step + 1.0, 1.0, 15.0));
}

// The significant digits that show a part whose first digit stands for
// 10^exponent to the place 10^step (at least 1).
int64_t DigitsTo(int64_t exponent, int64_t step) {
  return std::max<int64_t>(exponent - step + 1, 1);
}

// value rounded to nearest (ties away from zero) at digits significant digits.
qv::Decimal Rounded(qv::Decimal value, int64_t digits) {
  if (static_cast<int64_t>(value.Digits.size()) <= digits) return value;
  const bool up = value.Digits[static_cast<size_t>(digits)] >= '5';
  value.Digits.resize(static_cast<size_t>(digits));
  for (size_t i = value.Digits.size(); up; --i) {
    if (i == 0) {  // 99.9 -> 100
      value.Digits.insert(value.Digits.begin(), '1');
      ++value.Exponent;
      break;
    }
    if (value.Digits[i - 1] != '9') {
      ++value.Digits[i - 1];
      break;
    }
    value.Digits[i - 1] = '0';
  }
  while (!value.Digits.empty() && value.Digits.back() == '0') value.Digits.pop_back();
  return value;
}

}  // namespace

void QVViewerStatus::Started(Clock::time_point now, int64_t pixels) {
  state_ = State::Rendering;
  start_ = now;
  pixels_ = pixels;
  pictured_ = false;
  note_.clear();
}

void QVViewerStatus::PictureShown(Clock::time_point now) {
  if (state_ != State::Rendering) return;
  pictured_ = true;
  seconds_ = std::chrono::duration<double>(now - start_).count();
}

void QVViewerStatus::Stopped() {
  if (state_ == State::Rendering) state_ = State::Stopped;
  note_.clear();
}

void QVViewerStatus::Ended() {
  if (state_ == State::Rendering) state_ = pictured_ ? State::Finished : State::Stopped;
}

void QVViewerStatus::Failed(const std::string& message) {
  state_ = State::Failed;
  reason_ = message;
  note_.clear();
}

void QVViewerStatus::NothingToDraw(const std::string& reason) {
  state_ = State::NothingToDraw;
  reason_ = reason;
  note_.clear();
}

void QVViewerStatus::Note(const std::string& note) { note_ = note; }

std::string QVViewerStatus::Text() const {
  if (!note_.empty()) return note_;
  switch (state_) {
    case State::Rendering:
      return qv::FromQString(tr("描画中…（Esc で中止）"));
    case State::Finished:
      return FinishedText(seconds_, pixels_);
    case State::Stopped:
      return qv::FromQString(tr("描画を中断しました（F5 で描画）"));
    case State::NothingToDraw:
      return reason_;
    case State::Failed:
      return qv::FromQString(tr("描画できませんでした: %1").arg(qv::ToQString(reason_)));
    case State::Idle:
      break;
  }
  return "";
}

std::string QVViewerStatus::Caption(const std::string& base) const {
  return state_ == State::Stopped ? qv::FromQString(tr("%1 [中断]").arg(qv::ToQString(base)))
                                  : base;
}

std::string QVViewerStatus::NothingToDrawReason(size_t mixers, int32_t w, int32_t h) {
  if (mixers == 0) {
    return qv::FromQString(tr(
        "プロジェクトにミキサーがないため、描画する画像がありません。"
        "ミキサーのあるプロジェクトを読み込むか、ソースに書いて「ソース書込」を押してください。"));
  }
  if (w >= 1 && h >= 1) return "";
  return qv::FromQString(
      tr("画像の大きさが幅 %1、高さ %2 のため描画できません。幅と高さを 1 以上にしてください。")
          .arg(w)
          .arg(h));
}

std::string QVViewerStatus::PointText(QVComplex point, double pixel) {
  return qv::FromQString(tr("座標 (%1, %2)")
                             .arg(qv::ToQString(General(point.re, DigitsFor(point.re, pixel))),
                                  qv::ToQString(General(point.im, DigitsFor(point.im, pixel)))));
}

std::string QVViewerStatus::PointText(const qv::DecimalComplex& precise, QVComplex point,
                                      double pixel) {
  if (!(pixel > 0.0) || !std::isfinite(pixel)) return PointText(point, pixel);
  const auto step = static_cast<int64_t>(std::floor(std::log10(pixel)));
  const auto digits = [step](const qv::Decimal& part) {
    return part.Digits.empty() ? 1 : DigitsTo(part.Exponent, step);
  };
  if (digits(precise.re) <= 15 && digits(precise.im) <= 15) return PointText(point, pixel);
  const auto text = [&](const qv::Decimal& part) {
    return qv::ToQString(qv::DecimalToText(Rounded(part, digits(part))));
  };
  return qv::FromQString(tr("座標 (%1, %2)").arg(text(precise.re), text(precise.im)));
}

std::string QVViewerStatus::FinishedText(double seconds, int64_t pixels) {
  const int decimals = seconds < 1.0 ? 3 : seconds < 100.0 ? 2 : 1;
  const QString time = qv::ToQString(Fixed(seconds, decimals));
  if (seconds > 0.0 && pixels > 0) {
    const double rate = std::min(static_cast<double>(pixels) / seconds, 9.0e18);
    return qv::FromQString(
        tr("描画完了 %1 秒（毎秒 %2 画素）").arg(time, qv::ToQString(Grouped(std::llround(rate)))));
  }
  return qv::FromQString(tr("描画完了 %1 秒").arg(time));
}

std::string QVViewerStatus::DeepPathText(int32_t lowestDepth, int32_t highestDepth) {
  const QString depth = lowestDepth == highestDepth
                            ? QString::number(lowestDepth)
                            : QStringLiteral("%1〜%2").arg(lowestDepth).arg(highestDepth);
  return qv::FromQString(tr("深い視点（摂動計算）深さ %1").arg(depth));
}

std::string QVViewerStatus::DeepPathRefusalText(const std::string& formula, double scale) {
  return qv::FromQString(
      tr("式「%1」は深い視点（摂動計算）に対応していません: 倍率 %2 では倍精度で計算されるため、"
         "同じ色の画素のかたまりになります（深い視点は z^2+C、z^3+C、z+C で計算できます）")
          .arg(qv::ToQString(formula), qv::ToQString(qv::NumberToText(scale))));
}

std::string QVViewerStatus::RefusalText(qv::ViewRefusal why, const std::string& change) {
  switch (why) {
    case qv::ViewRefusal::OutOfRange:
      return qv::FromQString(tr("これ以上%1できません: 視点か倍率が数値の範囲を超えます。")
                                 .arg(qv::ToQString(change)));
    case qv::ViewRefusal::None:
      break;
  }
  return "";
}
