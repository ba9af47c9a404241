#include "base/QVScan.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace qv {

bool SourceText::FailAt(size_t pos, const std::string& message, ReadProblem problem) {
  if (!has_error_) {
    has_error_ = true;
    error_pos_ = pos;
    error_ = message;
    problem_ = std::move(problem);
  }
  return true;
}

void SourceText::LineColumn(size_t pos, int& line, int& column) const {
  line = 1;
  column = 1;
  const size_t end = pos < text_.size() ? pos : text_.size();
  for (size_t i = 0; i < end; ++i) {
    const unsigned char c = static_cast<unsigned char>(text_[i]);
    if (c == '\n' || (c == '\r' && (i + 1 >= text_.size() || text_[i + 1] != '\n'))) {
      ++line;
      column = 1;
    } else if (c != '\r' && (c & 0xC0) != 0x80) {
      ++column;  // a UTF-8 continuation byte does not start a character
    }
  }
}

NumberFormatError::NumberFormatError(const std::string& token, bool outOfRange)
    : std::runtime_error("'" + token + "' is " +
                         (outOfRange
                              ? "out of range: a number must lie between -1.79E308 and 1.79E308"
                              : "not a number")),
      token_(token),
      outOfRange_(outOfRange) {}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsWhitespace(char c) { return IsBlank(c) || c == '\r' || c == '\n'; }

namespace {

template <typename Pred>
size_t CountLeading(std::string_view s, Pred pred) {
  size_t n = 0;
  while (n < s.size() && pred(s[n])) ++n;
  return n;
}

bool IsNumberChar(char c) { return c != '\0' && std::strchr("-+0123456789.EeDd", c) != nullptr; }

std::string_view PeekWord(const SourceText& text) {
  std::string_view rest = text.Rest();
  return rest.substr(0, CountLeading(rest, [](char c) { return !IsWhitespace(c); }));
}

// At most 60 bytes of word, cut before a UTF-8 continuation byte, "…" marking a cut.
std::string Shortened(std::string_view word) {
  constexpr size_t kLongest = 60;
  if (word.size() <= kLongest) return std::string(word);
  size_t n = kLongest;
  while (n > 0 && (static_cast<unsigned char>(word[n]) & 0xC0) == 0x80) --n;
  return std::string(word.substr(0, n)) + "…";
}

std::string Quoted(char c) { return std::string("\"") + c + "\""; }

// strtod in the "C" locale: a host may have switched the process to a locale
// whose decimal mark is not ".".
double StrtodInCLocale(const std::string& text) {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
  return strtod_l(text.c_str(), nullptr, cLocale);
}

}  // namespace

void SkipBlanks(SourceText& text) { text.Consume(CountLeading(text.Rest(), IsBlank)); }

void SkipWhitespace(SourceText& text) { text.Consume(CountLeading(text.Rest(), IsWhitespace)); }

std::string ReadWord(SourceText& text) {
  SkipBlanks(text);
  std::string word(PeekWord(text));
  text.Consume(word.size());
  return word;
}

bool MatchKeyword(SourceText& text, std::string_view keyword) {
  SkipBlanks(text);
  const std::string_view word = PeekWord(text);
  if (word != keyword) return true;
  text.Consume(word.size());
  return false;
}

bool ExpectKeyword(SourceText& text, std::string_view keyword) {
  if (!MatchKeyword(text, keyword)) return false;
  const std::string_view word = PeekWord(text);
  const std::string expected = "expected " + QuoteText(keyword);
  const std::string key(keyword);
  if (word.empty()) {
    return text.Fail(expected + " but the text ends", {ReadProblem::ExpectedKeyword, key, ""});
  }
  const bool glued = word.size() > keyword.size() && word.substr(0, keyword.size()) == keyword;
  const std::string found = Shortened(word);
  return text.Fail(expected + (glued ? " followed by a blank" : "") + ", found " + QuoteText(found),
                   {glued ? ReadProblem::ExpectedBlank : ReadProblem::ExpectedKeyword, key, found});
}

bool ExpectChar(SourceText& text, char c) {
  SkipBlanks(text);
  const ReadProblem problem{ReadProblem::ExpectedChar, std::string(1, c), ""};
  if (text.Empty()) return text.Fail("expected " + Quoted(c) + " but the text ends", problem);
  if (text.Front() != c) {
    return text.Fail("expected " + Quoted(c),
                     {ReadProblem::ExpectedChar, std::string(1, c), std::string(1, text.Front())});
  }
  text.Consume(1);
  return false;
}

bool ReadNumberToken(SourceText& text, std::string_view& token) {
  SkipBlanks(text);
  const std::string_view rest = text.Rest();
  const size_t n = CountLeading(rest, IsNumberChar);
  if (n == 0) return text.Fail("expected a number", {ReadProblem::ExpectedNumber, "", ""});
  token = rest.substr(0, n);
  return false;
}

bool ReadNumber(SourceText& text, double& value) {
  std::string_view token;
  if (ReadNumberToken(text, token)) return true;
  value = ConvertNumber(token);
  text.Consume(token.size());
  return false;
}

bool ReadComplex(SourceText& text, QVComplex& value) {
  double re = 0.0;
  double im = 0.0;
  if (ExpectChar(text, '(') || ReadNumber(text, re) || ExpectChar(text, ',') ||
      ReadNumber(text, im) || ExpectChar(text, ')')) {
    return true;
  }
  value = {re, im};
  return false;
}

double ConvertNumber(std::string_view token) {
  // Validate the grammar first: from_chars alone would accept "inf", "nan" and
  // hexadecimal forms, and would stop early instead of rejecting "1.2.3".
  size_t i = 0;
  bool negative = false;
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) negative = token[i++] == '-';
  const size_t mantissa = i;
  size_t digits = 0;
  bool point = false;
  for (; i < token.size(); ++i) {
    if (token[i] >= '0' && token[i] <= '9') {
      ++digits;
    } else if (token[i] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  bool ok = digits > 0;
  if (ok && i < token.size() && (token[i] == 'E' || token[i] == 'e')) {
    ++i;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
    const size_t expDigits = i;
    while (i < token.size() && token[i] >= '0' && token[i] <= '9') ++i;
    ok = i > expDigits;
  }
  if (!ok || i != token.size()) throw NumberFormatError(std::string(token));

  // from_chars takes no "+" and reports both overflow and underflow as out of
  // range; only overflow is an error (an underflowing value is 0 or subnormal).
  std::string body(token.substr(mantissa));
  if (!body.empty() && body[0] == '+') body.erase(0, 1);
  double v = 0.0;
  const auto [ptr, ec] = std::from_chars(body.data(), body.data() + body.size(), v);
  if (ec == std::errc::result_out_of_range) {
    v = StrtodInCLocale(body);
    if (std::isinf(v)) throw NumberFormatError(std::string(token), true);
  } else if (ec != std::errc() || ptr != body.data() + body.size()) {
    throw NumberFormatError(std::string(token));
  }
  return negative ? -v : v;
}

std::string NumberToText(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0.0) return "0";
  // Round to 15 significant digits once, then lay the digits out. to_chars,
  // unlike printf, writes "." whatever the process's locale.
  char buf[40];
  *std::to_chars(buf, buf + sizeof buf - 1, value, std::chars_format::scientific, 14).ptr = '\0';
  const char* p = buf;
  std::string sign;
  if (*p == '-') {
    sign = "-";
    ++p;
  }
  std::string digits;
  for (; *p && *p != 'e'; ++p) {
    if (*p != '.') digits += *p;
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  return DigitsToText(!sign.empty(), digits, std::atoi(p + 1));
}

std::string DigitsToText(bool negative, const std::string& digits, int64_t exponent) {
  // Built by appending: GCC 12 warns falsely (-Wrestrict) on chains of operator+.
  std::string out = negative ? "-" : "";
  if (exponent >= -4 && exponent < 15) {
    if (exponent < 0) {
      out.append("0.").append(static_cast<size_t>(-exponent - 1), '0').append(digits);
    } else if (static_cast<size_t>(exponent) + 1 >= digits.size()) {
      out.append(digits).append(static_cast<size_t>(exponent) + 1 - digits.size(), '0');
    } else {
      const size_t point = static_cast<size_t>(exponent) + 1;
      out.append(digits, 0, point).append(".").append(digits, point);
    }
    return out;
  }
  out.append(digits, 0, 1);
  if (digits.size() > 1) out.append(".").append(digits, 1);
  out.append("E").append(std::to_string(exponent));
  return out;
}

double KeptNumber(double value) {
  if (!std::isfinite(value)) return value;
  // The 15 digits NumberToText lays out, read back at once: how the text lays
  // them out (plain or with an exponent, zeros trimmed) does not change the
  // value they read as.
  char buf[40];
  const char* end =
      std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14).ptr;
  double kept = 0.0;
  if (std::from_chars(buf, end, kept).ec == std::errc()) return kept == 0.0 ? 0.0 : kept;
  // The ends of the range (subnormals, and digits rounded past the largest
  // double), which from_chars reports as out of range: the reader's own way.
  try {
    return ConvertNumber(NumberToText(value));
  } catch (const NumberFormatError&) {
    return std::copysign(1.79769313486231e308, value);
  }
}

std::string IntToText(long long value) { return std::to_string(value); }

std::string QuoteText(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out(1, '"');
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      out.append("\\x").append(1, kHex[byte >> 4]).append(1, kHex[byte & 0xF]);
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
}

std::string ComplexToText(const QVComplex& value) {
  std::string out = "(";
  out.append(NumberToText(value.re)).append(", ").append(NumberToText(value.im)).append(")");
  return out;
}

}  // namespace qv
