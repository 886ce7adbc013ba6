// The response display as the editor hosts it: the strip under the panel,
// its handles edited as a host records edits, its feed following what is
// shown, and what it draws.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "effect/morvante_display.h"
#include "graphics/controls/itext_control.h"
#include "graphics/editor_scale.h"
#include "lice/lice_png.h"
#include "lice/lice_sysbitmap.h"
#include "tests/effect/editor_test_support.h"
#include "tests/effect/test_signal.h"

namespace {

// The host's side of edits, in the order it hears them.
class EditRecordingMorvante : public TestMorvante {
public:
  void BeginInformHostOfParamChange(int idx) override { edits.push_back("begin " + std::to_string(idx)); }
  void InformHostOfParamChange(int idx, double) override {
    const std::string perform = "perform " + std::to_string(idx);
    // Runs of the same edit count once.
    if (edits.empty() || edits.back() != perform) edits.push_back(perform);
  }
  void EndInformHostOfParamChange(int idx) override { edits.push_back("end " + std::to_string(idx)); }
  std::vector<std::string> edits;
};

// The editor's own display, opened as its switch opens it: the editor grown
// by the strip, the display under the panel.
MorvanteDisplay* AddDisplay(TestMorvante& plug) {
  EXPECT_TRUE(plug.ShowEditorDisplay(true));
  return static_cast<MorvanteDisplay*>(plug.GetGUI()->GetControl(kDisplayIdx));
}

IMouseMod LeftButton() {
  IMouseMod mod;
  mod.L = true;
  return mod;
}

void Process(TestMorvante& plug, ProgramSignal& signal, int frames) {
  std::vector<double> left(static_cast<size_t>(frames)), right(static_cast<size_t>(frames));
  for (int done = 0; done < frames; done += 512) {
    const int n = std::min(512, frames - done);
    signal.Fill(left.data() + done, right.data() + done, n);
    double* channels[2] = {left.data() + done, right.data() + done};
    plug.ProcessDoubleReplacing(channels, channels, n);
  }
}

// The folder is made by whichever test writes first: CTest runs them in any
// order.
std::string SnapshotPath(const char* name) {
  mkdir(MORVANTE_SNAPSHOT_DIR, 0755);
  return std::string(MORVANTE_SNAPSHOT_DIR) + "/" + name;
}

TEST(MorvanteDisplay, DraggingAHandleEditsFrequencyAndGainAsOneGestureEach) {
  EditRecordingMorvante plug;
  plug.SetSampleRate(48000.0);
  IGraphics* gui = plug.GetGUI();
  MorvanteDisplay* display = AddDisplay(plug);
  DrawUntilClean(gui);

  float hx, hy;
  display->HandleCentre(kBandLowMid, &hx, &hy);
  IMouseMod mod = LeftButton();
  const int x = static_cast<int>(std::lround(hx)), y = static_cast<int>(std::lround(hy));
  gui->OnMouseDown(x, y, &mod);
  // Half an octave up (the plot spans ten) and 6 dB up (it spans 48).
  const IRECT plot = display->PlotRect();
  const int right = plot.W() / 20, up = plot.H() / 8;
  for (int step = 1; step <= 10; ++step) gui->OnMouseDrag(x + right * step / 10, y - up * step / 10, &mod);
  gui->OnMouseUp(x + right, y - up, &mod);

  const std::string f = std::to_string(kLowMidFrequency), g = std::to_string(kLowMidGain);
  const std::vector<std::string> expected = {"begin " + f, "begin " + g, "perform " + f, "perform " + g,
                                             "end " + f,   "end " + g};
  // Performs alternate frequency, gain, frequency ... between the begins and ends.
  ASSERT_GE(plug.edits.size(), 6u);
  EXPECT_EQ(plug.edits[0], expected[0]);
  EXPECT_EQ(plug.edits[1], expected[1]);
  EXPECT_EQ(plug.edits[plug.edits.size() - 2], expected[4]);
  EXPECT_EQ(plug.edits.back(), expected[5]);
  for (size_t i = 2; i + 2 < plug.edits.size(); ++i) EXPECT_EQ(plug.edits[i].rfind("perform ", 0), 0u) << i;
  const double hz = plug.GetParam(kLowMidFrequency)->Value(), dB = plug.GetParam(kLowMidGain)->Value();
  EXPECT_NEAR(hz, 1700.0 * std::pow(1000.0, static_cast<double>(right) / plot.W()), 30.0);
  EXPECT_NEAR(dB, 48.0 * up / plot.H(), 0.2);
  // The effect, the knob bound to each and the readouts all have them.
  EXPECT_EQ(plug.Band(kBandLowMid).frequency, hz);
  EXPECT_EQ(plug.Band(kBandLowMid).gain, dB);
  for (int i = 0; i < gui->NControls(); ++i) {
    IControl* control = gui->GetControl(i);
    if (control->ParamIdx() == kLowMidGain) {
      EXPECT_EQ(control->GetValue(), plug.GetParam(kLowMidGain)->GetNormalized());
    }
  }
  EXPECT_STREQ(Text(gui, kNameReadoutIdx), "Low Mid");
  char display1[32], display2[32];
  plug.GetParam(kLowMidFrequency)->GetDisplayForHost(display1);
  plug.GetParam(kLowMidGain)->GetDisplayForHost(display2);
  EXPECT_EQ(std::string(Text(gui, kValueReadoutIdx)), std::string(display1) + " Hz  " + display2 + " dB");

  // The handle follows; a double-click on it restores both defaults, again
  // as edits the host hears.
  display->HandleCentre(kBandLowMid, &hx, &hy);
  EXPECT_NEAR(hx, x + right, 1.0);
  EXPECT_NEAR(hy, y - up, 1.0);
  plug.edits.clear();
  gui->OnMouseDblClick(static_cast<int>(hx), static_cast<int>(hy), &mod);
  gui->OnMouseUp(static_cast<int>(hx), static_cast<int>(hy), &mod);
  EXPECT_EQ(plug.GetParam(kLowMidFrequency)->Value(), 1700.0);
  EXPECT_EQ(plug.GetParam(kLowMidGain)->Value(), 0.0);
  EXPECT_EQ(plug.edits, (std::vector<std::string>{"begin " + f, "begin " + g, "perform " + f, "perform " + g,
                                                  "end " + f, "end " + g}));

  // A press away from every handle edits nothing.
  plug.edits.clear();
  gui->OnMouseDown(plot.L + 3, plot.B - 3, &mod);
  gui->OnMouseDrag(plot.L + 40, plot.B - 40, &mod);
  gui->OnMouseUp(plot.L + 40, plot.B - 40, &mod);
  EXPECT_TRUE(plug.edits.empty());
}

// The panel's product link reaches 70 pixels below the panel, into the
// strip: there the display, which lies over it, takes the press.
TEST(MorvanteDisplay, AHandleUnderTheProductLinkIsDragged) {
  EditRecordingMorvante plug;
  plug.SetSampleRate(48000.0);
  plug.SetParam(kHighFrequency, 15000.0);
  plug.SetParam(kHighGain, 12.0);
  IGraphics* gui = plug.GetGUI();
  MorvanteDisplay* display = AddDisplay(plug);
  DrawUntilClean(gui);
  float hx, hy;
  display->HandleCentre(kBandHigh, &hx, &hy);
  const int x = static_cast<int>(std::lround(hx)), y = static_cast<int>(std::lround(hy));
  ASSERT_TRUE(x >= kLinkLeft && x < kLinkRight && y >= kEditorHeight && y < kLinkBottom) << x << ", " << y;
  IMouseMod mod = LeftButton();
  gui->OnMouseDown(x, y, &mod);
  gui->OnMouseDrag(x - 20, y + 10, &mod);
  gui->OnMouseUp(x - 20, y + 10, &mod);
  ASSERT_FALSE(plug.edits.empty());
  EXPECT_EQ(plug.edits.front(), "begin " + std::to_string(kHighFrequency));
  EXPECT_LT(plug.GetParam(kHighFrequency)->Value(), 15000.0);
  EXPECT_LT(plug.GetParam(kHighGain)->Value(), 12.0);
}

TEST(MorvanteDisplay, TheFeedRunsOnlyWhileTheDisplayIsShown) {
  TestMorvante plug;
  plug.SetSampleRate(48000.0);
  ProgramSignal signal(48000.0, 3);
  const MorvanteDisplayFeed& feed = plug.DisplayFeed();
  EXPECT_FALSE(feed.IsOpen());
  EXPECT_EQ(feed.Input(), nullptr);
  MorvanteDisplay* display = AddDisplay(plug);
  ASSERT_TRUE(feed.IsOpen());
  Process(plug, signal, 1000);
  EXPECT_EQ(feed.Input()->Written(), 1000u);
  EXPECT_EQ(feed.Output()->Written(), 1000u);

  display->Hide(true);
  EXPECT_FALSE(feed.IsOpen());
  EXPECT_FALSE(display->IsFeedOpen());
  Process(plug, signal, 1000);
  EXPECT_EQ(feed.Input()->Written(), 1000u);
  display->Hide(false);
  Process(plug, signal, 700);
  EXPECT_EQ(feed.Input()->Written(), 1700u);

  // A display that goes closes what it opened, and nothing else.
  {
    MorvanteDisplay second(&plug, *display->GetRECT());
    second.Hide(false);
    EXPECT_TRUE(feed.IsOpen());
  }
  EXPECT_TRUE(feed.IsOpen());
  display->Hide(true);
  EXPECT_FALSE(feed.IsOpen());
}

// What the strip shows: the curves where the settings put them, the
// reductions in their bands' colours while the music plays, crisp at 200 %.
TEST(MorvanteDisplay, DrawsTheCurvesTheSpectraAndTheHandles) {
  for (int percent : {100, 200}) {
    TestMorvante plug;
    plug.SetSampleRate(48000.0);
    IGraphics* gui = plug.GetGUI();
    MorvanteDisplay* display = AddDisplay(plug);
    gui->SetScalePercent(percent);
    // The demo's kind of setting: the highs and the lows pulled down when loud.
    plug.SetParam(kHighMidFrequency, 7000.0);
    plug.SetParam(kHighMidGain, 4.0);
    plug.SetParam(kHighMidThreshold, 20.0);
    plug.SetParam(kHighMidRatio, 4.0);
    plug.SetParam(kLowFrequency, 110.0);
    plug.SetParam(kLowThreshold, 12.0);
    plug.SetParam(kLowRatio, 4.0);
    plug.SetParam(kMidGain, -6.0);
    ProgramSignal signal(48000.0, 9);
    Process(plug, signal, 48000 / 2);
    DrawUntilClean(gui);
    IRECT all(0, 0, gui->Width(), gui->Height());
    gui->Draw(&all);
    const std::string name = "display-" + std::to_string(percent) + ".png";
    ASSERT_TRUE(LICE_WritePNG(SnapshotPath(name.c_str()).c_str(), gui->GetDrawBitmap()));

    // A band's reduction is drawn in its colour between the curves, a
    // handle in its band's colour.
    LICE_IBitmap* bm = gui->GetDrawBitmap();
    auto devicePixel = [&](double x, double y) {
      const int col = static_cast<int>(std::lround(x)), row = static_cast<int>(std::lround(y));
      return IColor::FromPacked(bm->getBits()[row * bm->getRowSpan() + col]);
    };
    const MorvanteResponse& response = display->Response();
    const double k = percent / 100.0;
    const IRECT plot = ScaleRect(display->PlotRect(), percent);
    const std::vector<double>& hz = response.Axis();
    const size_t i = static_cast<size_t>(std::lower_bound(hz.begin(), hz.end(), 7000.0) - hz.begin());
    const double column = display->XOfHz(hz[i]) * k;
    ASSERT_GT(response.StaticDB()[i] - response.DynamicDB()[i], 2.0) << "High Mid reduces at 7 kHz";
    const double mid = 0.5 * (response.StaticDB()[i] + response.DynamicDB()[i]);
    const IColor between = devicePixel(column, plot.T + plot.H() * (24.0 - mid) / 48.0);
    EXPECT_GT(between.G, between.R + 40) << "High Mid's teal";
    EXPECT_GT(between.B, between.R + 40) << "High Mid's teal";
    float hx, hy;
    display->HandleCentre(kBandLow, &hx, &hy);
    EXPECT_EQ(devicePixel((hx + 5.0) * k, hy * k).Packed(), MorvanteDisplay::BandColour(kBandLow));

    // Nothing changes without audio or edits but the spectra's fall; once
    // they are down the display stays clean.
    EXPECT_EQ(DrawUntilClean(gui), 1);
    for (int frame = 0; frame < 25 * 12; ++frame) DrawUntilClean(gui);
    EXPECT_EQ(DrawUntilClean(gui), 0);
    plug.SetParam(kMidGain, 3.0);
    EXPECT_EQ(DrawUntilClean(gui), 1);
  }
}

}  // namespace
