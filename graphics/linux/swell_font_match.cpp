#include "graphics/linux/swell_font_match.h"

#include <fontconfig/fontconfig.h>

#include <cctype>
#include <cstring>
#include <map>
#include <mutex>

namespace {

std::string Lowercase(const char* s) {
  std::string out;
  for (; s && *s; ++s) out += static_cast<char>(std::tolower(static_cast<unsigned char>(*s)));
  return out;
}

bool Contains(const std::string& haystack, const char* needle) {
  return haystack.find(needle) != std::string::npos;
}

// Installed families to try when neither the name nor the generic family
// gives a face: what a plain Debian machine has, and their usual aliases.
// The generic family is only useful if the system configuration defines it.
const char* const kSansFaces[] = {"Liberation Sans", "Arimo", "DejaVu Sans", "Nimbus Sans", "FreeSans"};
const char* const kSerifFaces[] = {"Liberation Serif", "Tinos", "DejaVu Serif", "Nimbus Roman", "FreeSerif"};
const char* const kMonoFaces[] = {"DejaVu Sans Mono", "Liberation Mono", "Cousine", "Nimbus Mono PS",
                                  "FreeMono"};

template <size_t N>
void AddFamilies(FcPattern* pattern, const char* const (&families)[N]) {
  for (const char* family : families)
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
}

void AddConcreteFamilies(FcPattern* pattern, const char* generic) {
  if (!std::strcmp(generic, "monospace"))
    AddFamilies(pattern, kMonoFaces);
  else if (!std::strcmp(generic, "serif"))
    AddFamilies(pattern, kSerifFaces);
  else
    AddFamilies(pattern, kSansFaces);
}

bool IsFixedSpacing(FcPattern* font) {
  int spacing = FC_PROPORTIONAL;
  if (FcPatternGetInteger(font, FC_SPACING, 0, &spacing) != FcResultMatch) return false;
  return spacing == FC_MONO || spacing == FC_CHARCELL || spacing == FC_DUAL;
}

// One fontconfig match; families are tried in the order given.
bool MatchPattern(const char* faceName, const char* generic, bool concreteOnly, bool bold, bool italic,
                  SWELL_FontFile* out) {
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;
  if (!concreteOnly) {
    if (faceName && *faceName)
      FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(faceName));
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(generic));
  }
  AddConcreteFamilies(pattern, generic);
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);

  FcResult result = FcResultNoMatch;
  FcPattern* font = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!font) return false;

  bool ok = false;
  FcChar8* file = nullptr;
  if (FcPatternGetString(font, FC_FILE, 0, &file) == FcResultMatch && file && *file) {
    ok = true;
    out->path = reinterpret_cast<const char*>(file);
    int index = 0;
    out->index = FcPatternGetInteger(font, FC_INDEX, 0, &index) == FcResultMatch ? index : 0;
    FcChar8* family = nullptr;
    out->family = FcPatternGetString(font, FC_FAMILY, 0, &family) == FcResultMatch && family
                      ? reinterpret_cast<const char*>(family)
                      : "";
    int weight = FC_WEIGHT_REGULAR;
    FcPatternGetInteger(font, FC_WEIGHT, 0, &weight);
    int slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(font, FC_SLANT, 0, &slant);
    out->embolden = bold && weight < FC_WEIGHT_DEMIBOLD;
    out->oblique = italic && slant == FC_SLANT_ROMAN;
    out->monospace = IsFixedSpacing(font);
  }
  FcPatternDestroy(font);
  return ok;
}

std::mutex& MatchLock() {
  static std::mutex lock;
  return lock;
}

// Freed with the module's statics: only a font being made looks here, and
// none is made once they are being destroyed.
std::map<std::string, SWELL_FontFile>& MatchCache() {
  static std::map<std::string, SWELL_FontFile> cache;
  return cache;
}

}  // namespace

const char* SWELL_GenericFamilyFor(const char* faceName) {
  const std::string name = Lowercase(faceName);
  if (name == "monospace" || Contains(name, "monaco") || Contains(name, "courier") ||
      Contains(name, "menlo") || Contains(name, "consolas") || Contains(name, "mono") ||
      Contains(name, "lucida console") || Contains(name, "fixed"))
    return "monospace";
  if (Contains(name, "sans")) return "sans-serif";
  if (name == "serif" || Contains(name, "times") || Contains(name, "georgia") ||
      Contains(name, "palatino") || Contains(name, "garamond") || Contains(name, "bookman") ||
      Contains(name, "serif"))
    return "serif";
  return "sans-serif";
}

bool SWELL_FindFontFile(const char* faceName, bool bold, bool italic, SWELL_FontFile* out) {
  if (!out) return false;
  const std::string key = Lowercase(faceName) + (bold ? "|b" : "|") + (italic ? "i" : "");

  std::lock_guard<std::mutex> guard(MatchLock());
  auto found = MatchCache().find(key);
  if (found != MatchCache().end()) {
    *out = found->second;
    return true;
  }

  const char* generic = SWELL_GenericFamilyFor(faceName);
  SWELL_FontFile match;
  bool ok = MatchPattern(faceName, generic, false, bold, italic, &match);
  // A system alias may still send an unknown fixed-pitch name to a
  // proportional face; a monospace request must stay monospace.
  if (ok && !std::strcmp(generic, "monospace") && !match.monospace) {
    SWELL_FontFile fixed;
    if (MatchPattern(faceName, generic, true, bold, italic, &fixed) && fixed.monospace) match = fixed;
  }
  if (!ok) return false;
  MatchCache().emplace(key, match);
  *out = match;
  return true;
}

#if defined(__SANITIZE_ADDRESS__)
#define SWELL_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SWELL_UNDER_ASAN 1
#endif
#endif
#if defined(SWELL_UNDER_ASAN)
// fontconfig drops parts of its parsed system configuration on the floor
// once at start-up; that is not ours to fix.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif
