#include "app/QVOptionValues.h"

#include <charconv>
#include <cmath>

namespace qv {

std::optional<int64_t> ParseMemorySize(const std::string& text) {
  int64_t value = 0;
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin == end || *begin < '0' || *begin > '9') return std::nullopt;
  const auto [stop, error] = std::from_chars(begin, end, value);
  if (error != std::errc()) return std::nullopt;
  std::string unit(stop, end);
  if (unit.ends_with("iB")) {
    unit.resize(unit.size() - 2);
  } else if (unit.size() == 2 && unit[1] == 'B') {
    unit.resize(1);
  }
  int shift = 0;
  if (unit == "K" || unit == "k")
    shift = 10;
  else if (unit == "M")
    shift = 20;
  else if (unit == "G")
    shift = 30;
  else if (unit == "T")
    shift = 40;
  else if (!unit.empty() && unit != "B")
    return std::nullopt;
  if (value < 1 || value > (INT64_MAX >> shift)) return std::nullopt;
  return value << shift;
}

std::optional<double> ParseFiniteNumber(const std::string& text) {
  double value = 0;
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin != end && *begin == '+') return std::nullopt;
  const auto [stop, error] = std::from_chars(begin, end, value);
  if (begin == end || error != std::errc() || stop != end || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::optional<QVComplex> ParsePoint(const std::string& text) {
  const size_t comma = text.find(',');
  if (comma == std::string::npos) return std::nullopt;
  const auto re = ParseFiniteNumber(text.substr(0, comma));
  const auto im = ParseFiniteNumber(text.substr(comma + 1));
  if (!re || !im) return std::nullopt;
  return QVComplex{*re, *im};
}

std::optional<std::string> FrameFileName(const std::string& pattern, int number) {
  std::string out;
  int directives = 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '%') {
      out += pattern[i];
      continue;
    }
    if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
      out += '%';
      ++i;
      continue;
    }
    size_t j = i + 1;
    const bool zeros = j < pattern.size() && pattern[j] == '0';
    if (zeros) ++j;
    int width = 0;
    if (j < pattern.size() && pattern[j] >= '1' && pattern[j] <= '9') width = pattern[j++] - '0';
    if (j >= pattern.size() || pattern[j] != 'd' || ++directives > 1) return std::nullopt;
    std::string digits = std::to_string(number);
    if (digits.size() < static_cast<size_t>(width)) {
      digits.insert(0, static_cast<size_t>(width) - digits.size(), zeros ? '0' : ' ');
    }
    out += digits;
    i = j;
  }
  if (directives != 1) return std::nullopt;
  return out;
}

}  // namespace qv
