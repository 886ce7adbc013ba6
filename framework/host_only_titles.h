// Titles a format binding shows its host for parameters whose IParam has no
// name, and which parameters it keeps out of the host's lists altogether.
// The IParam and the editor keep the empty name.
#pragma once

#include <string>
#include <vector>

class HostOnlyTitles {
public:
  // A second call for the same parameter replaces the first; a null title
  // is ignored.
  void Set(int paramIdx, const char* title, bool hiddenFromHost);
  // Null where none is set.
  const char* Title(int paramIdx) const;
  bool IsHidden(int paramIdx) const;

private:
  struct Entry {
    int paramIdx;
    std::string title;
    bool hidden;
  };
  const Entry* Find(int paramIdx) const;

  std::vector<Entry> mEntries;
};
