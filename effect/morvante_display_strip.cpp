#include "effect/morvante_display_strip.h"

#include "effect/morvante_display_switch.h"
#include "effect/morvante_layout.h"
#include "framework/iplug_base.h"
#include "graphics/editor_settings.h"
#include "graphics/igraphics.h"

namespace {
constexpr const char* kDisplayKey = "display";
constexpr const char* kOpenText = "open";
constexpr const char* kClosedText = "closed";

EditorSettings SettingsOf(IGraphics* gui) {
  return EditorSettings::ForProduct(gui->GetPlug() ? gui->GetPlug()->GetEffectName() : nullptr);
}
}  // namespace

MorvanteDisplayStrip::MorvanteDisplayStrip(IGraphics* gui, IControl* display, MorvanteDisplaySwitch* displaySwitch)
    : mGui(gui), mDisplay(display), mSwitch(displaySwitch) {
  mDisplay->Hide(true);
}

bool MorvanteDisplayStrip::SetOpen(bool open) {
  // Shown before the resize, so that the first picture at the new size has it.
  mDisplay->Hide(!open);
  if (open != mOpen && !mGui->Resize(kEditorWidth, open ? kEditorHeightWithDisplay : kEditorHeight)) {
    mDisplay->Hide(!mOpen);
    return false;
  }
  mOpen = open;
  mSwitch->SetLit(open);
  return true;
}

void MorvanteDisplayStrip::Toggle() {
  if (!SetOpen(!mOpen)) return;
  // A file that cannot be written costs only the memory of it.
  EditorSettings settings = SettingsOf(mGui);
  settings.Set(kDisplayKey, mOpen ? kOpenText : kClosedText);
  settings.Save();
}

void MorvanteDisplayStrip::FollowUserSetting() { SetOpen(SettingsOf(mGui).Get(kDisplayKey) == kOpenText); }

void MorvanteDisplayStrip::Suspend() { mDisplay->Hide(true); }
