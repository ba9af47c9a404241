#include "ui/QVNumberEntry.h"

#include <charconv>

#include "base/QVScan.h"

QVConverted<double> QVNumberEntry::ToReal(std::string_view text) {
  try {
    return {qv::ConvertNumber(text), ""};
  } catch (const qv::NumberFormatError&) {
    return {std::nullopt, RealMessage(text)};
  }
}

QVConverted<int32_t> QVNumberEntry::ToInteger(std::string_view text) {
  std::string_view digits = text;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  // from_chars takes a '-' but no '+'; a second sign after '+' is refused.
  if (digits.empty() || digits.front() == '+' || (text.front() == '+' && digits.front() == '-')) {
    return {std::nullopt, IntegerMessage(text)};
  }
  int32_t value = 0;
  const char* end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, value, 10);
  if (error != std::errc() || stop != end) return {std::nullopt, IntegerMessage(text)};
  return {value, ""};
}

std::string QVNumberEntry::RealMessage(std::string_view text) {
  return "'" + std::string(text) + "' は浮動小数点数ではありません";
}

std::string QVNumberEntry::IntegerMessage(std::string_view text) {
  return "'" + std::string(text) + "' は整数ではありません";
}

std::string QVNumberEntry::RealText(double value) { return qv::NumberToText(value); }

std::string QVNumberEntry::IntegerText(int64_t value) { return qv::IntToText(value); }
