#include "graphics/text_entry_rules.h"

#include <cstring>

#include "framework/iparam.h"
#include "graphics/icontrol.h"

const char* TextEntryAcceptedChars(const IParam* param) {
  if (!param) return nullptr;
  switch (param->Type()) {
    case kParamBool:
    case kParamInt:
    case kParamEnum: return "0123456789-+";
    case kParamDouble: return "0123456789.-+";
    default: return "";
  }
}

bool TextEntryAccepts(const IControl* control, const IParam* param, const char* text) {
  if (!text) return false;
  const char* accepted = TextEntryAcceptedChars(param);
  if (!accepted) return true;
  const size_t len = std::strlen(text);
  const int maxLen = control ? control->GetTextEntryLength() : DEFAULT_TEXT_ENTRY_LEN;
  if (maxLen < 0 || len > static_cast<size_t>(maxLen)) return false;
  // strspn stops at the first character outside the set.
  return std::strspn(text, accepted) == len;
}

int TextEntryFontSize(const IText& text) { return static_cast<int>(0.9 * text.mSize); }
