// A plug-in that records what the editor engine reports to it, and a control
// that records what the engine sends it.
#pragma once

#include <string>
#include <vector>

#include "framework/iplug_base.h"
#include "tests/support/no_host.h"
#include "graphics/icontrol.h"
#include "graphics/igraphics.h"

class GraphicsTestPlug : public NoHost<IPlugBase> {
public:
  explicit GraphicsTestPlug(int nParams = 4, EAPI api = kAPIVST3)
      : NoHost<IPlugBase>(nParams, "1-1 2-2", 1, "Effect", "Product", "Maker", 0x20000, 0x4d525631, 0x506e7672, 0, false,
                  false, false, api) {
    for (int i = 0; i < nParams; ++i) GetParam(i)->InitDouble("Param", 0.0, 0.0, 1.0, 0.01);
  }

  void BeginInformHostOfParamChange(int paramIdx) override { log.push_back("begin " + std::to_string(paramIdx)); }
  void InformHostOfParamChange(int paramIdx, double value) override {
    informed.push_back(value);
    log.push_back("inform " + std::to_string(paramIdx));
  }
  void EndInformHostOfParamChange(int paramIdx) override { log.push_back("end " + std::to_string(paramIdx)); }
  bool ResizeGraphics(int w, int h) override {
    log.push_back("resize " + std::to_string(w) + "x" + std::to_string(h));
    return true;
  }
  // A VST3 host has a parameter menu; the engine must not know the format.
  bool HostOffersParamContextMenu() override { return GetAPI() == kAPIVST3; }
  void PopupHostContextMenuForParam(int paramIdx, int x, int y) override {
    log.push_back("menu " + std::to_string(paramIdx) + " at " + std::to_string(x) + "," + std::to_string(y));
  }

  std::vector<std::string> log;
  std::vector<double> informed;
};

class RecordingControl : public IControl {
public:
  RecordingControl(IPlugBase* plug, IRECT rect, int paramIdx = -1, const char* name = "c")
      : IControl(plug, rect, paramIdx), mName(name) {}

  void OnMouseDown(int x, int y, IMouseMod* mod) override {
    Record("down", x, y);
    IControl::OnMouseDown(x, y, mod);
  }
  void OnMouseUp(int x, int y, IMouseMod*) override { Record("up", x, y); }
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod*) override {
    Record("drag", x, y);
    drags.push_back({dX, dY});
  }
  void OnMouseDblClick(int x, int y, IMouseMod*) override { Record("dbl", x, y); }
  void OnMouseWheel(int x, int y, IMouseMod*, int delta) override {
    Record("wheel", x, y);
    wheel += delta;
  }
  bool OnKeyDown(int x, int y, int key) override {
    Record("key " + std::to_string(key), x, y);
    return takesKeys;
  }
  void OnMouseOver(int x, int y, IMouseMod*) override { Record("over", x, y); }
  void OnMouseOut() override { events.push_back(mName + " out"); }
  bool Draw(IGraphics*) override {
    ++draws;
    return true;
  }

  struct Delta {
    int dX;
    int dY;
  };
  std::string mName;
  std::vector<std::string> events;
  std::vector<Delta> drags;
  int wheel = 0;
  int draws = 0;
  bool takesKeys = true;

private:
  void Record(const std::string& what, int x, int y) {
    events.push_back(mName + " " + what + " " + std::to_string(x) + "," + std::to_string(y));
  }
};

// Makes a RecordingControl and attaches it to gui.
inline RecordingControl* AttachRecording(IGraphics& gui, IPlugBase* plug, IRECT rect, int paramIdx = -1,
                                         const char* name = "c") {
  auto* control = new RecordingControl(plug, rect, paramIdx, name);
  gui.AttachControl(control);
  return control;
}
