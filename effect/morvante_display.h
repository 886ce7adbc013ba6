// The response display: a strip under the panel with the static curve the
// settings give, the dynamic curve the bands' gain states give, the area
// between them in each band's colour, the input and output spectra under
// them, and a handle per band that drags its Frequency and Gain.
//
// It reads the audio through the effect's display feed, which it keeps open
// while it is shown (it is constructed hidden; Hide(false) shows it) and
// closes when hidden or destroyed; the spectra's plans and buffers exist only while it
// is open. All its work runs in the editor's timer (OnGUIIdle) and drawing,
// on the editor's thread, and it is marked dirty only when something it
// shows changed. Edits appear in the readouts set with
// SetNameDisplayControl / SetValDisplayControl.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "effect/morvante_analyser.h"
#include "effect/morvante_band.h"
#include "effect/morvante_response.h"
#include "graphics/icontrol.h"
#include "lice/lice_bitmap.h"

class MORVANTE;

class MorvanteDisplay : public IControl {
public:
  // The strip's height in editor pixels, under the 1220 x 590 panel.
  static constexpr int kStripHeight = 200;
  static constexpr double kLowestHz = 20.0, kHighestHz = 20000.0;
  static constexpr double kRangeDB = 24.0;

  // rect: the strip in editor pixels.
  MorvanteDisplay(MORVANTE* plug, IRECT rect);
  ~MorvanteDisplay() override;

  bool Draw(IGraphics* graphics) override;
  void OnGUIIdle() override;
  void Hide(bool hide) override;
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;
  void OnMouseUp(int x, int y, IMouseMod* mod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override;

  // The plot inside the strip, in editor pixels, and where a frequency and
  // a level lie on it.
  IRECT PlotRect() const;
  float XOfHz(double hz) const;
  float YOfDB(double dB) const;
  // The centre of band b's handle.
  void HandleCentre(int band, float* x, float* y) const;
  // The curves as last computed.
  const MorvanteResponse& Response() const { return mResponse; }
  bool IsFeedOpen() const { return mFeedOpen; }

  static LICE_pixel BandColour(int band);

private:
  void OpenFeed();
  void CloseFeed();
  // Brings the axis, the curves and the spectra up to date; true when
  // anything shown changed.
  bool Refresh(double idleSeconds);
  bool FitAxis(int scalePercent);
  void MakeAnalysers();
  int HandleAt(int x, int y) const;
  void EndDrag();
  void SetBand(int band, double hz, double dB);
  void ShowInReadouts(int band);

  // Drawing, in device pixels.
  // The background, grid and labels, straight into the draw bitmap.
  void DrawLayer(IGraphics* graphics);
  // The curves' rows and the fill's parts per device column of the plot.
  void LayOutCurves(const IRECT& plot);
  // The strip's background, the spectra and the fill, each pixel once.
  void ComposeStrip(LICE_IBitmap* bitmap, const IRECT& strip, const IRECT& plot);
  void MakeHandleImages(int scalePercent);
  void DrawHandles(IGraphics* graphics);

  MORVANTE* mMorvante;
  bool mFeedOpen = false;
  MorvanteResponse mResponse;
  MorvanteResponseSettings mSettings;
  double mGainStates[kNumMorvanteBands] = {1.0, 1.0, 1.0, 1.0, 1.0};
  std::unique_ptr<MorvanteAnalyser> mInputSpectrum, mOutputSpectrum;
  double mAnalysersRate = 0.0;
  // The spectra's points, one per editor pixel of the plot.
  std::vector<double> mAxisHz;
  int mAxisPercent = 0;
  // What DrawLayer drew, at the device resolution of mLayerPercent, and
  // which of the plot's columns are grid lines.
  LICE_MemBitmap mLayer;
  int mLayerPercent = 0;
  std::vector<uint8_t> mGridColumn;
  LICE_MemBitmap mHandleImages[kNumMorvanteBands];
  // Per column of the plot, in device rows: each spectrum's top (and the
  // first row wholly under it), the curves, and the fill's part edges.
  std::vector<float> mSpectrumTop[2];
  std::vector<int> mSpectrumFrom[2];
  std::vector<float> mStaticY, mDynamicY;
  struct FillRows {
    int edges[kNumMorvanteBands + 1];
  };
  std::vector<FillRows> mFillRows;
  // ComposeStrip's colour code per column, and the columns whose code
  // changes at each busy row (mChangedColumns from mChangesFrom[row]).
  std::vector<uint8_t> mColumnCodes;
  std::vector<int> mChangesFrom, mChangesAt, mChangedColumns;
  // The band whose handle is being dragged, and the pointer's offset from
  // its centre.
  int mDragBand = -1;
  float mDragOffsetX = 0.0f, mDragOffsetY = 0.0f;
};
