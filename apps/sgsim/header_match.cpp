// SPDX-License-Identifier: GPL-3.0-or-later
#include "header_match.h"

#include <cctype>
#include <string>
#include <vector>

namespace sgsim {
namespace {

struct PatternNode {
  std::string shortForm;  // upper case
  std::string longForm;   // upper case
  bool optional = false;
};

std::string upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::vector<PatternNode> patternNodes(std::string_view pattern) {
  std::vector<PatternNode> nodes;
  std::size_t i = 0;
  while (i < pattern.size()) {
    bool optional = false;
    if (pattern[i] == '[') {
      optional = true;
      ++i;
    }
    if (i < pattern.size() && pattern[i] == ':') ++i;
    const std::size_t start = i;
    while (i < pattern.size() && pattern[i] != ':' && pattern[i] != '[' && pattern[i] != ']') ++i;
    const std::string_view name = pattern.substr(start, i - start);
    if (optional && i < pattern.size() && pattern[i] == ']') ++i;
    PatternNode node;
    for (const char c : name) {
      if (std::isupper(static_cast<unsigned char>(c)) || std::isdigit(static_cast<unsigned char>(c)) || c == '*')
        node.shortForm += c;
    }
    node.longForm = upper(name);
    node.optional = optional;
    nodes.push_back(node);
  }
  return nodes;
}

std::vector<std::string> headerNodes(std::string_view header) {
  std::vector<std::string> nodes;
  std::size_t i = header.size() > 0 && header[0] == ':' ? 1 : 0;
  while (i <= header.size()) {
    const std::size_t colon = header.find(':', i);
    const std::size_t end = colon == std::string_view::npos ? header.size() : colon;
    nodes.push_back(upper(header.substr(i, end - i)));
    if (colon == std::string_view::npos) break;
    i = colon + 1;
  }
  return nodes;
}

bool matchFrom(const std::vector<PatternNode>& pattern, std::size_t p, const std::vector<std::string>& header,
               std::size_t h) {
  if (p == pattern.size()) return h == header.size();
  const PatternNode& node = pattern[p];
  if (h < header.size() && (header[h] == node.shortForm || header[h] == node.longForm) &&
      matchFrom(pattern, p + 1, header, h + 1)) {
    return true;
  }
  return node.optional && matchFrom(pattern, p + 1, header, h);
}

}  // namespace

bool headerMatches(std::string_view pattern, std::string_view header) {
  return matchFrom(patternNodes(pattern), 0, headerNodes(header), 0);
}

}  // namespace sgsim
