// The editor's per-user settings: a small "key=value" text file under
// $XDG_CONFIG_HOME (else ~/.config), <folder>/editor.conf, shared by every
// instance and project. It never enters the plug-in's state. A missing,
// unreadable or damaged file reads as no settings; keys this version does
// not know are kept when it writes; the file is written beside itself and
// renamed, so a reader sees the old file or the new one, never half.
#pragma once

#include <map>
#include <string>

class EditorSettings {
public:
  // folder: the product's folder name under the configuration directory.
  explicit EditorSettings(std::string folder);
  // The settings of a product, in the folder users find under its name
  // (null or empty: a generic one), read in.
  static EditorSettings ForProduct(const char* name);

  // The file's path; empty when neither $XDG_CONFIG_HOME nor $HOME is set.
  std::string Path() const;
  // Reads the file again; false (and no settings) when it cannot be read.
  bool Load();
  // Writes every setting; false when the file cannot be written (the
  // settings are kept in memory all the same).
  bool Save() const;

  // The editor's scale in percent, or 0 when none (or a nonsense one) is
  // stored.
  int ScalePercent() const;
  void SetScalePercent(int percent);

  // Any setting as text; fallback when absent.
  std::string Get(const std::string& key, const std::string& fallback = "") const;
  void Set(const std::string& key, const std::string& value);

private:
  std::string mFolder;
  std::map<std::string, std::string> mValues;
};
