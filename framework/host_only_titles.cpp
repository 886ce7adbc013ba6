#include "framework/host_only_titles.h"

void HostOnlyTitles::Set(int paramIdx, const char* title, bool hiddenFromHost) {
  if (!title) return;
  for (Entry& entry : mEntries) {
    if (entry.paramIdx == paramIdx) {
      entry = {paramIdx, title, hiddenFromHost};
      return;
    }
  }
  mEntries.push_back({paramIdx, title, hiddenFromHost});
}

const HostOnlyTitles::Entry* HostOnlyTitles::Find(int paramIdx) const {
  for (const Entry& entry : mEntries)
    if (entry.paramIdx == paramIdx) return &entry;
  return nullptr;
}

const char* HostOnlyTitles::Title(int paramIdx) const {
  const Entry* entry = Find(paramIdx);
  return entry ? entry->title.c_str() : nullptr;
}

bool HostOnlyTitles::IsHidden(int paramIdx) const {
  const Entry* entry = Find(paramIdx);
  return entry && entry->hidden;
}
