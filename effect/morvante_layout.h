// The editor's fixed layout: where every control sits, which parameter it
// drives and which image it shows. The effect builds its editor from this
// table and the artwork generator draws the images (and the labels on the
// background between them) from it, so the two can never disagree.
#pragma once

#include "effect/morvante_params.h"

constexpr int kEditorWidth = 1220;
constexpr int kEditorHeight = 590;
// The display strip under the panel: while it is open the editor is this
// much higher, the panel above unchanged.
constexpr int kDisplayStripHeight = 200;
constexpr int kEditorHeightWithDisplay = kEditorHeight + kDisplayStripHeight;
// Its switch, in the free strip left of the Low column, under the readouts
// and clear of the detector legend.
constexpr int kDisplaySwitchLeft = 14, kDisplaySwitchTop = 62, kDisplaySwitchRight = 114, kDisplaySwitchBottom = 84;

// Every image's id is its bitmap cache key; frames are stacked vertically.
struct MorvanteImage {
  int id;
  const char* file;
  int frames;
};

constexpr int kBackgroundImageId = 101;
constexpr const char* kBackgroundImageFile = "resources/img/BG.png";

enum EMorvanteControlKind {
  kControlSwitch,  // ISwitchControl: detector modes and the bypass switch
  kControlKnob,    // IKnobMultiControl
  kControlMeter,   // IBitmapControl without a parameter
};

// One image control, in the order it is attached (its control index is its
// position in the table plus one: the background is index 0).
struct MorvanteControlPlace {
  EMorvanteControlKind kind;
  int x, y;
  int paramIdx;  // -1 for the meters
  MorvanteImage image;
};

constexpr int kNumKnobFrames = 61;
constexpr int kNumMeterFrames = 61;
constexpr int kNumSwitchFrames = 2;

// One frame of each kind of image, as the artwork draws it: a control's
// rectangle is its (x, y) with this size. Chosen so that no two controls
// overlap and labels fit on the background between them.
constexpr int kKnobFrameWidth = 60, kKnobFrameHeight = 56;
constexpr int kOutputKnobFrameWidth = 100, kOutputKnobFrameHeight = 90;
constexpr int kMeterFrameWidth = 160, kMeterFrameHeight = 24;
constexpr int kModeSwitchFrameWidth = 72, kModeSwitchFrameHeight = 22;
constexpr int kBypassFrameWidth = 72, kBypassFrameHeight = 36;

constexpr MorvanteControlPlace kMorvanteControlPlaces[] = {
    {kControlSwitch, 192, 560, kModeLow, {144, "resources/img/MODEL.png", kNumSwitchFrames}},
    {kControlSwitch, 386, 560, kModeLowMid, {145, "resources/img/MODELM.png", kNumSwitchFrames}},
    {kControlSwitch, 581, 560, kModeMid, {146, "resources/img/MODEM.png", kNumSwitchFrames}},
    {kControlSwitch, 773, 560, kModeHighMid, {147, "resources/img/MODEHM.png", kNumSwitchFrames}},
    {kControlSwitch, 967, 560, kModeHigh, {148, "resources/img/MODEH.png", kNumSwitchFrames}},
    {kControlKnob, 913, 180, kHighAttack, {103, "resources/img/HATK.png", kNumKnobFrames}},
    {kControlKnob, 1019, 332, kHighBandwidth, {104, "resources/img/HBAND.png", kNumKnobFrames}},
    {kControlKnob, 915, 332, kHighFrequency, {105, "resources/img/HFREQ.png", kNumKnobFrames}},
    {kControlKnob, 954, 424, kHighGain, {106, "resources/img/HGAIN.png", kNumKnobFrames}},
    {kControlKnob, 717, 180, kHighMidAttack, {107, "resources/img/HMATK.png", kNumKnobFrames}},
    {kControlKnob, 825, 332, kHighMidBandwidth, {108, "resources/img/HMBAND.png", kNumKnobFrames}},
    {kControlKnob, 719, 332, kHighMidFrequency, {109, "resources/img/HMFREQ.png", kNumKnobFrames}},
    {kControlKnob, 763, 424, kHighMidGain, {110, "resources/img/HMGAIN.png", kNumKnobFrames}},
    {kControlKnob, 771, 255, kHighMidRatio, {111, "resources/img/HMRAT.png", kNumKnobFrames}},
    {kControlKnob, 823, 180, kHighMidRelease, {112, "resources/img/HMREL.png", kNumKnobFrames}},
    {kControlKnob, 763, 74, kHighMidThreshold, {113, "resources/img/HMTHR.png", kNumKnobFrames}},
    {kControlKnob, 967, 255, kHighRatio, {115, "resources/img/HRAT.png", kNumKnobFrames}},
    {kControlKnob, 1017, 180, kHighRelease, {116, "resources/img/HREL.png", kNumKnobFrames}},
    {kControlKnob, 957, 74, kHighThreshold, {117, "resources/img/HTHR.png", kNumKnobFrames}},
    {kControlKnob, 139, 180, kLowAttack, {119, "resources/img/LATK.png", kNumKnobFrames}},
    {kControlKnob, 243, 332, kLowBandwidth, {120, "resources/img/LBAND.png", kNumKnobFrames}},
    {kControlKnob, 137, 332, kLowFrequency, {121, "resources/img/LFREQ.png", kNumKnobFrames}},
    {kControlKnob, 180, 424, kLowGain, {122, "resources/img/LGAIN.png", kNumKnobFrames}},
    {kControlKnob, 330, 180, kLowMidAttack, {123, "resources/img/LMATK.png", kNumKnobFrames}},
    {kControlKnob, 436, 332, kLowMidBandwidth, {124, "resources/img/LMBAND.png", kNumKnobFrames}},
    {kControlKnob, 334, 332, kLowMidFrequency, {125, "resources/img/LMFREQ.png", kNumKnobFrames}},
    {kControlKnob, 376, 424, kLowMidGain, {126, "resources/img/LMGAIN.png", kNumKnobFrames}},
    {kControlKnob, 386, 255, kLowMidRatio, {127, "resources/img/LMRAT.png", kNumKnobFrames}},
    {kControlKnob, 438, 180, kLowMidRelease, {128, "resources/img/LMREL.png", kNumKnobFrames}},
    {kControlKnob, 376, 74, kLowMidThreshold, {129, "resources/img/LMTHR.png", kNumKnobFrames}},
    {kControlKnob, 191, 255, kLowRatio, {131, "resources/img/LRAT.png", kNumKnobFrames}},
    {kControlKnob, 241, 180, kLowRelease, {132, "resources/img/LREL.png", kNumKnobFrames}},
    {kControlKnob, 180, 74, kLowThreshold, {133, "resources/img/LTHR.png", kNumKnobFrames}},
    {kControlKnob, 526, 180, kMidAttack, {135, "resources/img/MATK.png", kNumKnobFrames}},
    {kControlKnob, 630, 332, kMidBandwidth, {136, "resources/img/MBAND.png", kNumKnobFrames}},
    {kControlKnob, 528, 332, kMidFrequency, {137, "resources/img/MFREQ.png", kNumKnobFrames}},
    {kControlKnob, 567, 424, kMidGain, {138, "resources/img/MGAIN.png", kNumKnobFrames}},
    {kControlKnob, 582, 255, kMidRatio, {139, "resources/img/MRAT.png", kNumKnobFrames}},
    {kControlKnob, 632, 180, kMidRelease, {140, "resources/img/MREL.png", kNumKnobFrames}},
    {kControlKnob, 567, 74, kMidThreshold, {141, "resources/img/MTHR.png", kNumKnobFrames}},
    {kControlSwitch, 1127, 259, kBypass, {102, "resources/img/BY.png", kNumSwitchFrames}},
    {kControlMeter, 141, 24, -1, {134, "resources/img/LVU.png", kNumMeterFrames}},
    {kControlMeter, 330, 24, -1, {130, "resources/img/LMVU.png", kNumMeterFrames}},
    {kControlMeter, 530, 24, -1, {142, "resources/img/MVU.png", kNumMeterFrames}},
    {kControlMeter, 723, 24, -1, {114, "resources/img/HMVU.png", kNumMeterFrames}},
    {kControlMeter, 919, 24, -1, {118, "resources/img/HVU.png", kNumMeterFrames}},
    {kControlKnob, 1113, 432, kOutput, {143, "resources/img/OUT.png", kNumKnobFrames}},
};
constexpr int kNumMorvanteControlPlaces =
    static_cast<int>(sizeof(kMorvanteControlPlaces) / sizeof(kMorvanteControlPlaces[0]));

// The link to the maker's product page; it reaches below the editor's edge.
constexpr int kLinkLeft = 1120, kLinkTop = 560, kLinkRight = 1220, kLinkBottom = 660;
constexpr const char* kProductPageURL = "https://www.penvarrowsonics.com/product/morvante/";

// The readouts of the parameter being edited; the value readout is zero
// pixels high and its text is drawn downward from its top.
constexpr int kNameReadoutLeft = 10, kNameReadoutTop = 10, kNameReadoutRight = 60, kNameReadoutBottom = 30;
constexpr int kValueReadoutLeft = 10, kValueReadoutTop = 30, kValueReadoutRight = 60, kValueReadoutBottom = 30;

// The size of one frame of a control's image.
struct MorvanteFrameSize {
  int width, height;
};
constexpr MorvanteFrameSize FrameSizeOf(const MorvanteControlPlace& place) {
  switch (place.kind) {
    case kControlKnob:
      return place.paramIdx == kOutput ? MorvanteFrameSize{kOutputKnobFrameWidth, kOutputKnobFrameHeight}
                                       : MorvanteFrameSize{kKnobFrameWidth, kKnobFrameHeight};
    case kControlSwitch:
      return place.paramIdx == kBypass ? MorvanteFrameSize{kBypassFrameWidth, kBypassFrameHeight}
                                       : MorvanteFrameSize{kModeSwitchFrameWidth, kModeSwitchFrameHeight};
    case kControlMeter:
      break;
  }
  return MorvanteFrameSize{kMeterFrameWidth, kMeterFrameHeight};
}

static_assert(kNumMorvanteControlPlaces == 47, "indices 1 to 47 of the editor's control list");

// True when every image control lies inside the editor and no two of them
// share a pixel.
constexpr bool MorvanteControlsApartAndInside() {
  for (int i = 0; i < kNumMorvanteControlPlaces; ++i) {
    const MorvanteControlPlace& a = kMorvanteControlPlaces[i];
    const MorvanteFrameSize sa = FrameSizeOf(a);
    if (a.x < 0 || a.y < 0 || a.x + sa.width > kEditorWidth || a.y + sa.height > kEditorHeight) return false;
    for (int j = i + 1; j < kNumMorvanteControlPlaces; ++j) {
      const MorvanteControlPlace& b = kMorvanteControlPlaces[j];
      const MorvanteFrameSize sb = FrameSizeOf(b);
      if (a.x < b.x + sb.width && b.x < a.x + sa.width && a.y < b.y + sb.height && b.y < a.y + sa.height)
        return false;
    }
  }
  return true;
}
static_assert(MorvanteControlsApartAndInside(), "the frame sizes make controls overlap or leave the editor");
