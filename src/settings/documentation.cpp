// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/documentation.h"

#include <filesystem>

#include "runtime/modules.h"

namespace dot11b::settings {

namespace {

// A path as the path of a URL: bytes other than letters, digits, "-._~" and "/" percent-encoded.
std::string urlPath(const std::string& path) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (const unsigned char c : path) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                       c == '.' || c == '_' || c == '~' || c == '/';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

}  // namespace

std::string readmeAddress() {
  namespace fs = std::filesystem;
  // DOT11B_DOC_FROM_LIBRARY: the documentation folder relative to the library's, as the package installs them.
  const std::string folder = rt::ownFolder();
  fs::path readme = fs::path(folder + DOT11B_DOC_FROM_LIBRARY) / "README.md";
  std::error_code error;
  if (folder.empty() || !fs::is_regular_file(readme, error)) readme = DOT11B_SOURCE_README;
  return "file://" + urlPath(readme.lexically_normal().string());
}

}  // namespace dot11b::settings
