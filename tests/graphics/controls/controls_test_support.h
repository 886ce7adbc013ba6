// An editor for control tests: a plug-in with one parameter of every kind,
// owning a headless engine, and filmstrips made in memory whose frames can be
// told apart by pixel.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/iplug_base.h"
#include "tests/support/no_host.h"
#include "graphics/controls/iknob_control.h"
#include "graphics/igraphics_headless.h"
#include "lice/lice_bitmap.h"

enum ControlsTestParam {
  kGain = 0,     // double -12..12 dB, step 0.01: "3.50 dB"
  kMode,         // enum: 0 "Sum", 1 "Max"; starts at 1
  kBypass,       // bool: "off", "on"
  kDepth,        // double -10..10, step 0.01, shown negated
  kRange,        // double 5..20, step 0.1
  kSteps,        // int 0..10
  kNumTestParams
};

class ControlsTestPlug : public NoHost<IPlugBase> {
public:
  explicit ControlsTestPlug(EAPI api)
      : NoHost<IPlugBase>(kNumTestParams, "1-1 2-2", 1, "Effect", "Product", "Maker", 0x20000, 0x4d525631, 0x506e7672, 0,
                  false, false, false, api) {
    GetParam(kGain)->InitDouble("Gain", 0.0, -12.0, 12.0, 0.01, "dB");
    GetParam(kMode)->InitEnum("Mode", 1, 2);
    GetParam(kMode)->SetDisplayText(0, "Sum");
    GetParam(kMode)->SetDisplayText(1, "Max");
    GetParam(kBypass)->InitBool("Bypass", false);
    GetParam(kDepth)->InitDouble("Depth", 3.0, -10.0, 10.0, 0.01);
    GetParam(kDepth)->SetNegateDisplay(true);
    GetParam(kRange)->InitDouble("Range", 10.0, 5.0, 20.0, 0.1, "ms");
    GetParam(kSteps)->InitInt("Steps", 2, 0, 10);
  }

  void BeginInformHostOfParamChange(int paramIdx) override { log.push_back("begin " + std::to_string(paramIdx)); }
  void InformHostOfParamChange(int paramIdx, double value) override {
    informedParams.push_back(paramIdx);
    informed.push_back(value);
  }
  void EndInformHostOfParamChange(int paramIdx) override { log.push_back("end " + std::to_string(paramIdx)); }
  bool HostOffersParamContextMenu() override { return GetAPI() == kAPIVST3; }
  void PopupHostContextMenuForParam(int paramIdx, int, int) override {
    log.push_back("host menu " + std::to_string(paramIdx));
  }

  std::vector<std::string> log;
  std::vector<int> informedParams;
  std::vector<double> informed;
};

// IKnobControl draws nothing of its own; this one draws nothing at all.
class BareKnob : public IKnobControl {
public:
  using IKnobControl::IKnobControl;
  bool Draw(IGraphics*) override { return true; }
};

// Frame f (from 1) of a strip is filled with 0xFF0000nn where nn = f, so a
// pixel read back names the frame that was drawn.
inline LICE_pixel FramePixel(int frame) { return 0xFF000000u | static_cast<LICE_pixel>(frame); }

class ControlsTestEditor {
public:
  // Not VST3 unless asked: a VST3 host has a parameter menu, to which the
  // engine hands the secondary button on parameter controls.
  explicit ControlsTestEditor(EAPI api = kAPIVST2, int w = 200, int h = 200)
      : plug(api), gui(new IGraphicsHeadless(&plug, w, h)) {}
  ~ControlsTestEditor() {
    if (plug.GetGUI() != gui) delete gui;
  }
  ControlsTestEditor(const ControlsTestEditor&) = delete;
  ControlsTestEditor& operator=(const ControlsTestEditor&) = delete;

  // Hands the engine to the plug-in: every control gets its parameter's
  // value (and default) and the draw bitmap is made.
  void Attach() { plug.AttachGraphics(gui); }

  // A stacked strip of frames of frameW x frameH, owned by the editor.
  IBitmap Strip(int frames, int frameW, int frameH) {
    auto bitmap = std::make_unique<LICE_MemBitmap>(frameW, frameH * frames);
    for (int y = 0; y < frameH * frames; ++y)
      for (int x = 0; x < frameW; ++x) bitmap->getBits()[y * bitmap->getRowSpan() + x] = FramePixel(y / frameH + 1);
    IBitmap handle(bitmap.get(), frameW, frameH * frames, frames);
    bitmaps.push_back(std::move(bitmap));
    return handle;
  }

  // One image of w x h in a single colour.
  IBitmap Solid(int w, int h, LICE_pixel colour) {
    auto bitmap = std::make_unique<LICE_MemBitmap>(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) bitmap->getBits()[y * bitmap->getRowSpan() + x] = colour;
    IBitmap handle(bitmap.get(), w, h, 1);
    bitmaps.push_back(std::move(bitmap));
    return handle;
  }

  // Draws everything in the editor once.
  void DrawAll() {
    IRECT all(0, 0, gui->Width(), gui->Height());
    gui->Draw(&all);
  }

  LICE_pixel Pixel(int x, int y) { return gui->GetPoint(x, y).Packed(); }
  double Normalized(int paramIdx) { return plug.GetParam(paramIdx)->GetNormalized(); }

  // Declared first: the plug-in deletes the engine, which deletes the
  // controls, before the strips they point at go.
  std::vector<std::unique_ptr<LICE_MemBitmap>> bitmaps;
  ControlsTestPlug plug;
  IGraphicsHeadless* gui;  // owned by plug once attached
};
