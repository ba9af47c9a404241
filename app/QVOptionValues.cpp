#include "app/QVOptionValues.h"

#include <charconv>
#include <cmath>
#include <string_view>

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
  if (unit.size() == 1 && unit != "B" && unit != "b") {
    const size_t at = std::string_view("kmgt").find(static_cast<char>(unit[0] | 0x20));
    if (at == std::string_view::npos) return std::nullopt;
    shift = 10 * static_cast<int>(at + 1);
  } else if (!unit.empty() && unit != "B") {
    return std::nullopt;
  }
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

std::optional<DecimalComplex> ParsePrecisePoint(const std::string& text) {
  if (!ParsePoint(text)) return std::nullopt;
  const size_t comma = text.find(',');
  try {
    return DecimalComplex{DecimalFromText(text.substr(0, comma)),
                          DecimalFromText(text.substr(comma + 1))};
  } catch (const NumberFormatError&) {
    return std::nullopt;
  }
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
    int width = 0;  // at most kMaxFrameWidth, as printf pads
    while (j < pattern.size() && pattern[j] >= '0' && pattern[j] <= '9') {
      width = width * 10 + (pattern[j++] - '0');
      if (width > kMaxFrameWidth) return std::nullopt;
    }
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
