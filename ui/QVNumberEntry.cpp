#include "ui/QVNumberEntry.h"

#include <charconv>

#include "base/QVScan.h"
#include "ui/QVText.h"

namespace {

// The message template with the refused text in its place (%1) and the
// rest of its arguments after it.
template <typename... Rest>
std::string Said(const QString& message, std::string_view text, const Rest&... rest) {
  return qv::FromQString(message.arg(qv::ToQString(text), qv::ToQString(rest)...));
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

// Full-width forms are three UTF-8 bytes: EF BC 81-BF for U+FF01-FF3F and
// EF BD 80-9E for U+FF40-FF5E, each U+FEE0 above its ASCII character.
std::string QVNumberEntry::Normalise(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const std::string_view rest = text.substr(i);
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(rest[k]); };
    if (rest.size() >= 3 && byte(0) == 0xEF && (byte(1) == 0xBC || byte(1) == 0xBD)) {
      const int code = 0xFF00 + ((byte(1) & 0x03) << 6) + (byte(2) & 0x3F);
      if (code >= 0xFF01 && code <= 0xFF5E) {
        out += static_cast<char>(code - 0xFEE0);
        i += 2;
        continue;
      }
    }
    if (rest.starts_with("\xE2\x88\x92")) {  // U+2212 MINUS SIGN
      out += '-';
      i += 2;
    } else if (rest.starts_with("\xE3\x80\x80")) {  // U+3000 IDEOGRAPHIC SPACE
      out += ' ';
      i += 2;
    } else {
      out += rest[0];
    }
  }
  const size_t first = out.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  size_t last = out.size();
  while (last > first && IsBlank(out[last - 1])) --last;
  return out.substr(first, last - first);
}

QVConverted<double> QVNumberEntry::ToReal(std::string_view text) {
  try {
    return {qv::ConvertNumber(Normalise(text)), ""};
  } catch (const qv::NumberFormatError& e) {
    if (e.OutOfRange()) return {std::nullopt, OutOfRangeMessage(text)};
    return {std::nullopt, RealMessage(text)};
  }
}

QVConverted<int32_t> QVNumberEntry::ToInteger(std::string_view text) {
  const std::string normal = Normalise(text);
  std::string_view digits = normal;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  // from_chars takes a '-' but no '+'; a second sign after '+' is refused.
  if (digits.empty() || digits.front() == '+' || (normal.front() == '+' && digits.front() == '-')) {
    return {std::nullopt, IntegerMessage(text)};
  }
  int32_t value = 0;
  const char* end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, value, 10);
  if (error == std::errc::result_out_of_range && stop == end) {
    return {std::nullopt,
            Said(tr("'%1' は範囲外です（整数は -2147483648 から 2147483647 までです）"), text)};
  }
  if (error != std::errc() || stop != end) return {std::nullopt, IntegerMessage(text)};
  return {value, ""};
}

QVConverted<double> QVNumberEntry::ToPositive(std::string_view text, std::string_view what) {
  QVConverted<double> r = ToReal(text);
  if (!r.Ok() || *r.Value > 0.0) return r;
  // A mantissa with a digit other than 0 is a number that became 0.
  const std::string normal = Normalise(text);
  const bool tooSmall =
      *r.Value == 0.0 &&
      normal.substr(0, normal.find_first_of("eE")).find_first_of("123456789") != std::string::npos;
  r.Message =
      tooSmall ? Said(tr("'%1' は小さすぎて 0 になります（%2は 0 より大きい数です）"), text, what)
               : Said(tr("'%1' は%2にできません（0 より大きい数にしてください）"), text, what);
  r.Value.reset();
  return r;
}

QVConverted<int32_t> QVNumberEntry::ToCount(std::string_view text, std::string_view what) {
  QVConverted<int32_t> r = ToInteger(text);
  if (!r.Ok() || *r.Value >= 1) return r;
  r.Message = Said(tr("'%1' は%2にできません（1 以上の整数にしてください）"), text, what);
  r.Value.reset();
  return r;
}

std::string QVNumberEntry::RealMessage(std::string_view text) {
  return Said(tr("'%1' は浮動小数点数ではありません"), text);
}

std::string QVNumberEntry::OutOfRangeMessage(std::string_view text) {
  return Said(tr("'%1' は範囲外です（数は -1.79E308 から 1.79E308 までです）"), text);
}

std::string QVNumberEntry::IntegerMessage(std::string_view text) {
  return Said(tr("'%1' は整数ではありません"), text);
}

std::string QVNumberEntry::RealText(double value) { return qv::NumberToText(value); }

std::string QVNumberEntry::IntegerText(int64_t value) { return qv::IntToText(value); }
