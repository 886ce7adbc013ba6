#include "graphics/editor_settings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "graphics/editor_scale.h"

namespace {
constexpr const char* kScaleKey = "scale";
// Anything longer is not a file this editor wrote.
constexpr std::streamsize kMaxFileBytes = 64 * 1024;

std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return "";
  const size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

bool MakeDir(const std::string& dir) { return mkdir(dir.c_str(), 0755) == 0 || errno == EEXIST; }
}  // namespace

EditorSettings::EditorSettings(std::string folder) : mFolder(std::move(folder)) {}

EditorSettings EditorSettings::ForProduct(const char* name) {
  EditorSettings settings(name && *name ? name : "editor");
  settings.Load();
  return settings;
}

std::string EditorSettings::Path() const {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  std::string base;
  // A relative $XDG_CONFIG_HOME is invalid and ignored.
  if (xdg && *xdg == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::string(home) + "/.config";
  } else {
    return "";
  }
  return base + "/" + mFolder + "/editor.conf";
}

bool EditorSettings::Load() {
  mValues.clear();
  const std::string path = Path();
  if (path.empty()) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string text(static_cast<size_t>(kMaxFileBytes) + 1, '\0');
  in.read(&text[0], kMaxFileBytes + 1);
  if (in.gcount() > kMaxFileBytes) return false;
  text.resize(static_cast<size_t>(in.gcount()));
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty() || line[0] == '#') continue;
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = Trim(line.substr(0, eq));
    if (!key.empty() && key.find('\0') == std::string::npos) mValues[key] = Trim(line.substr(eq + 1));
  }
  return true;
}

bool EditorSettings::Save() const {
  const std::string path = Path();
  if (path.empty()) return false;
  const std::string dir = path.substr(0, path.rfind('/'));
  if (!MakeDir(dir.substr(0, dir.rfind('/'))) || !MakeDir(dir)) return false;
  std::string text = "# " + mFolder + " editor settings, shared by every instance\n";
  for (const auto& [key, value] : mValues) text += key + "=" + value + "\n";
  // Beside the file, so the rename stays on one file system; the process id
  // keeps two hosts writing at once apart.
  const std::string temp = path + ".tmp" + std::to_string(getpid());
  FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  if (std::fclose(f) != 0 || !written || std::rename(temp.c_str(), path.c_str()) != 0) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

int EditorSettings::ScalePercent() const {
  const std::string text = Get(kScaleKey);
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end || v < kMinScalePercent || v > kMaxScalePercent) return 0;
  return NearestScalePercent(static_cast<double>(v));
}

void EditorSettings::SetScalePercent(int percent) { Set(kScaleKey, std::to_string(NearestScalePercent(percent))); }

std::string EditorSettings::Get(const std::string& key, const std::string& fallback) const {
  const auto it = mValues.find(key);
  return it == mValues.end() ? fallback : it->second;
}

void EditorSettings::Set(const std::string& key, const std::string& value) { mValues[key] = value; }
