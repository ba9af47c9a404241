#include "source/QVColorBarText.h"

#include <algorithm>
#include <map>
#include <vector>

#include "base/QVScan.h"

namespace qv {

namespace {

// The blank-separated fields of line.
std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    const size_t start = i;
    while (i < line.size() && !IsBlank(line[i])) ++i;
    if (i > start) fields.push_back(line.substr(start, i - start));
  }
  return fields;
}

bool ReadChannel(std::string_view field, int32_t& channel) {
  if (field.empty() || field.size() > 3) return false;
  int32_t value = 0;
  for (const char c : field) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  channel = value;
  return value <= 255;
}

}  // namespace

std::string WriteColorBarText(const ColorBar& bar) {
  std::string text = "# Q-Vell colour bar: input R G B\n";
  for (const ConvertData& d : bar.Entries()) {
    text += NumberToText(d.Input);
    for (const int shift : {0, 8, 16}) text += " " + IntToText((d.Color >> shift) & 0xFF);
    text += "\n";
  }
  return text;
}

ColorBarTextProblem ReadColorBarText(std::string_view text, ColorBar& bar) {
  std::vector<ConvertData> stops;
  std::map<double, int32_t> lineOfInput;
  int32_t line = 0;
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    std::string_view row = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    ++line;
    if (!row.empty() && row.back() == '\r') row.remove_suffix(1);
    const std::vector<std::string_view> f = Fields(row);
    if (f.empty() || f[0].front() == '#') continue;
    if (f.size() != 4) return {ColorBarTextProblem::FieldCount, line, 0, std::string(row)};
    double input = 0.0;
    try {
      input = KeptNumber(ConvertNumber(f[0]));
    } catch (const NumberFormatError&) {
      return {ColorBarTextProblem::BadInput, line, 0, std::string(f[0])};
    }
    int32_t rgb[3] = {0, 0, 0};
    for (int k = 0; k < 3; ++k) {
      if (!ReadChannel(f[1 + k], rgb[k])) {
        return {ColorBarTextProblem::BadChannel, line, 0, std::string(f[1 + k])};
      }
    }
    if (const auto [at, added] = lineOfInput.emplace(input, line); !added) {
      return {ColorBarTextProblem::RepeatedInput, line, at->second, std::string(f[0])};
    }
    stops.push_back({input, rgb[0] | rgb[1] << 8 | rgb[2] << 16});
  }
  if (stops.size() < 2) return {ColorBarTextProblem::TooFewStops, 0, 0, {}};
  bar = ColorBar(ColorBar::Inserted(std::move(stops)));
  return {};
}

}  // namespace qv
