// The editor: one background carrying the artwork, the filmstrip knobs,
// switches and meters of the layout table over it, the link to the product
// page, the two readouts of the parameter being edited, and the display
// strip under the panel with its switch.
#include <memory>
#include <string>

#include "effect/morvante.h"
#include "effect/morvante_display.h"
#include "effect/morvante_display_strip.h"
#include "effect/morvante_display_switch.h"
#include "effect/morvante_layout.h"
#include "effect/morvante_readout.h"
#include "graphics/controls/ibitmap_control.h"
#include "graphics/controls/iknob_control.h"
#include "graphics/controls/iswitch_control.h"
#include "graphics/controls/iurl_control.h"
#include "graphics/igraphics.h"
#include "graphics/make_graphics.h"

namespace {

constexpr double kKnobGearing = 4.0;
static_assert(MorvanteDisplay::kStripHeight == kDisplayStripHeight, "the strip fills what the editor grows by");

// The meters appear in the layout table from the lowest band up.
constexpr int kMeterBands[kNumMorvanteBands] = {kBandLow, kBandLowMid, kBandMid, kBandHighMid, kBandHigh};

std::unique_ptr<IControl> MakeImageControl(IPlugBase* plug, const MorvanteControlPlace& place,
                                           const IBitmap& bitmap) {
  switch (place.kind) {
    case kControlKnob: {
      auto knob = std::make_unique<IKnobMultiControl>(plug, place.x, place.y, place.paramIdx, bitmap, kVertical,
                                                      kKnobGearing);
      knob->GetBlend()->mMethod = IChannelBlend::kBlendAlpha;
      knob->DisablePrompt(true);
      return knob;
    }
    case kControlSwitch:
      return std::make_unique<ISwitchControl>(plug, place.x, place.y, place.paramIdx, bitmap,
                                              IChannelBlend::kBlendAlpha);
    case kControlMeter:
      return std::make_unique<IBitmapControl>(plug, place.x, place.y, -1, bitmap, IChannelBlend::kBlendAlpha);
  }
  return nullptr;
}

IText ReadoutStyle() {
  return IText(12, COLOR_WHITE, "Helvetica", IText::kStyleNormal, IText::kAlignNear, 0,
               IText::kQualityNonAntiAliased, DEFAULT_TEXT_ENTRY_BGCOLOR, DEFAULT_TEXT_ENTRY_FGCOLOR);
}

}  // namespace

void MORVANTE::BuildEditor() {
  std::unique_ptr<IGraphics> graphics = MakeGraphics(this, kEditorWidth, kEditorHeight, 0);
  graphics->AttachBackground(kBackgroundImageId, kBackgroundImageFile);

  int meter = 0;
  for (const MorvanteControlPlace& place : kMorvanteControlPlaces) {
    const IBitmap bitmap = graphics->LoadIBitmap(place.image.id, place.image.file, place.image.frames);
    const int idx = graphics->AttachControl(MakeImageControl(this, place, bitmap).release());
    if (place.kind == kControlMeter && meter < kNumMorvanteBands) {
      const int b = kMeterBands[meter++];
      const std::string name = std::string(kMorvanteBandLayouts[b].name) + " Gain Reduction";
      mBands[b].meterIdx = AddMeter(name.c_str(), idx);
    }
  }

  graphics->AttachControl(new IURLControl(this, IRECT(kLinkLeft, kLinkTop, kLinkRight, kLinkBottom),
                                          kProductPageURL, nullptr, nullptr));

  const IText style = ReadoutStyle();
  auto nameReadout = std::make_unique<MorvanteReadout>(
      this, IRECT(kNameReadoutLeft, kNameReadoutTop, kNameReadoutRight, kNameReadoutBottom), &style);
  auto valueReadout = std::make_unique<MorvanteReadout>(
      this, IRECT(kValueReadoutLeft, kValueReadoutTop, kValueReadoutRight, kValueReadoutBottom), &style);
  for (int i = 0; i < graphics->NControls(); ++i) {
    IControl* control = graphics->GetControl(i);
    control->SetNameDisplayControl(nameReadout.get());
    control->SetValDisplayControl(valueReadout.get());
  }
  auto display = std::make_unique<MorvanteDisplay>(this, IRECT(0, kEditorHeight, kEditorWidth, kEditorHeightWithDisplay));
  // Its handles' edits show in the readouts too.
  display->SetNameDisplayControl(nameReadout.get());
  display->SetValDisplayControl(valueReadout.get());
  graphics->AttachControl(nameReadout.release());
  graphics->AttachControl(valueReadout.release());

  auto displaySwitch = std::make_unique<MorvanteDisplaySwitch>(
      this, IRECT(kDisplaySwitchLeft, kDisplaySwitchTop, kDisplaySwitchRight, kDisplaySwitchBottom),
      [this] {
        if (mDisplayStrip) mDisplayStrip->Toggle();
      });
  auto strip = std::make_unique<MorvanteDisplayStrip>(graphics.get(), display.get(), displaySwitch.get());
  graphics->AttachControl(display.release());
  graphics->AttachControl(displaySwitch.release());

  AttachGraphics(graphics.release());
  mDisplayStrip = std::move(strip);
}

void MORVANTE::AttachGraphics(IGraphics* g) {
  // The strip works the editor it was built with, which goes now.
  if (mDisplayStrip) mDisplayStrip->Suspend();
  mDisplayStrip.reset();
  MorvantePlugBase::AttachGraphics(g);
}

MORVANTE::~MORVANTE() {
  // The display lets go of the feed while the feed is still there: the
  // editor goes with the base, after this object's members.
  if (mDisplayStrip) mDisplayStrip->Suspend();
}

void MORVANTE::OnGUIViewCreated() {
  if (mDisplayStrip) mDisplayStrip->FollowUserSetting();
}

void MORVANTE::OnGUIClose() {
  if (mDisplayStrip) mDisplayStrip->Suspend();
}

bool MORVANTE::ShowEditorDisplay(bool show) { return mDisplayStrip && mDisplayStrip->SetOpen(show); }
