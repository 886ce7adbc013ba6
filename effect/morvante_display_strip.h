// The display strip under the panel, opened and closed by the "DISPLAY"
// switch. Opening grows the editor by the strip's height through the host's
// window, closing gives it back; the panel and its controls stay where they
// are. What the user chose last is kept in the user's editor settings beside
// the scale, so every editor opened later starts that way.
#pragma once

class IControl;
class IGraphics;
class MorvanteDisplaySwitch;

class MorvanteDisplayStrip {
public:
  // Borrowed: the engine owns the display control and the switch.
  MorvanteDisplayStrip(IGraphics* gui, IControl* display, MorvanteDisplaySwitch* displaySwitch);

  bool IsOpen() const { return mOpen; }
  // Shows or hides the strip with the editor's new height; false, and the
  // editor as it was, when the host refused the size.
  bool SetOpen(bool open);
  // A press on the switch: the other way, remembered when the host took it.
  void Toggle();
  // A new view of the editor starts the way the user left it (closed when
  // nothing is stored).
  void FollowUserSetting();
  // The editor's window closed: the display stops listening to the audio;
  // the strip keeps its place for the next opening.
  void Suspend();

private:
  IGraphics* mGui;
  IControl* mDisplay;
  MorvanteDisplaySwitch* mSwitch;
  bool mOpen = false;
};
