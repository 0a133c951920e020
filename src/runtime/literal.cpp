// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/literal.h"

#include <cctype>
#include <complex>
#include <string>
#include <vector>

#include "runtime/number_text.h"

namespace dot11b::rt {

namespace {

[[noreturn]] void malformed(std::string_view text, const std::string& why) {
  throw LiteralError("malformed literal '" + std::string(text) + "': " + why);
}

// A real or complex number: a, bi, a+bi, a-bi (i or j).
std::optional<std::complex<double>> parseNumber(std::string_view s) {
  if (s.empty()) return std::nullopt;
  if (s.back() != 'i' && s.back() != 'j') {
    const auto re = parseReal(s);
    return re ? std::optional<std::complex<double>>(*re) : std::nullopt;
  }
  const std::string_view body = s.substr(0, s.size() - 1);
  // The sign that splits real and imaginary parts: the last + or - not at the start and not after an exponent.
  std::size_t split = std::string_view::npos;
  for (std::size_t k = body.size(); k-- > 1;) {
    if ((body[k] == '+' || body[k] == '-') && body[k - 1] != 'e' && body[k - 1] != 'E') {
      split = k;
      break;
    }
  }
  if (split == std::string_view::npos) {
    const auto im = body.empty() || body == "+" || body == "-" ? parseReal(std::string(body) + "1") : parseReal(body);
    return im ? std::optional<std::complex<double>>({0.0, *im}) : std::nullopt;
  }
  const auto re = parseReal(body.substr(0, split));
  std::string imText(body.substr(split));
  if (imText.size() == 1) imText += "1";
  const auto im = parseReal(imText);
  if (!re || !im) return std::nullopt;
  return std::complex<double>(*re, *im);
}

Value parseText(std::string_view text) {
  if (text.size() < 2 || text.back() != '\'') malformed(text, "text must end with a single quote");
  std::string out;
  const std::string_view body = text.substr(1, text.size() - 2);
  for (std::size_t k = 0; k < body.size(); ++k) {
    if (body[k] == '\'') {
      if (k + 1 < body.size() && body[k + 1] == '\'') {
        out.push_back('\'');
        ++k;
        continue;
      }
      malformed(text, "a quote inside text must be doubled");
    }
    out.push_back(body[k]);
  }
  try {
    return Value::text(out);
  } catch (const std::invalid_argument&) {
    malformed(text, "text is not valid UTF-8");
  }
}

Value parseMatrix(std::string_view text) {
  if (text.back() != ']') malformed(text, "a matrix must end with ']'");
  const std::string_view body = text.substr(1, text.size() - 2);
  std::vector<std::vector<std::complex<double>>> rows(1);
  std::size_t k = 0;
  while (k <= body.size()) {
    if (k == body.size() || body[k] == ';') {
      if (k < body.size()) rows.emplace_back();
      ++k;
      continue;
    }
    if (std::isspace(static_cast<unsigned char>(body[k])) || body[k] == ',') {
      ++k;
      continue;
    }
    std::size_t end = k;
    while (end < body.size() && !std::isspace(static_cast<unsigned char>(body[end])) && body[end] != ',' &&
           body[end] != ';')
      ++end;
    const auto number = parseNumber(body.substr(k, end - k));
    if (!number) malformed(text, std::string(body.substr(k, end - k)).append(" is not a number"));
    rows.back().push_back(*number);
    k = end;
  }
  if (rows.size() > 1 && rows.back().empty()) rows.pop_back();  // a trailing ';'
  const std::size_t cols = rows.front().size();
  if (cols == 0 && rows.size() == 1) return Value();
  for (const auto& row : rows)
    if (row.size() != cols) malformed(text, "rows have different lengths");
  std::vector<double> re(rows.size() * cols), im(rows.size() * cols);
  bool complex = false;
  for (std::size_t r = 0; r < rows.size(); ++r)
    for (std::size_t c = 0; c < cols; ++c) {
      re[c * rows.size() + r] = rows[r][c].real();
      im[c * rows.size() + r] = rows[r][c].imag();
      complex = complex || rows[r][c].imag() != 0;
    }
  if (!complex) im.clear();
  return Value::matrix(rows.size(), cols, std::move(re), std::move(im));
}

}  // namespace

Value parseLiteral(std::string_view text) {
  if (text.empty()) malformed(text, "empty");
  if (text.front() == '\'') return parseText(text);
  if (text.front() == '[') return parseMatrix(text);
  const auto number = parseNumber(text);
  if (!number) malformed(text, "not a number, matrix or quoted text");
  return number->imag() != 0 ? Value::complexScalar(*number) : Value::scalar(number->real());
}

}  // namespace dot11b::rt
