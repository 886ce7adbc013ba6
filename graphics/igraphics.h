// The platform-neutral editor engine: owns the controls and the off-screen
// draw bitmap, routes input, redraws what is dirty and carries values between
// the plug-in and the controls. Everything that needs the operating system is
// a pure virtual supplied by the platform subclass.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "framework/wdl_ptrlist.h"
#include "graphics/editor_run_loop.h"
#include "graphics/igraphics_types.h"

class IControl;
class IParam;
class IPlugBase;
class IPopupMenu;
class LICE_IBitmap;
class LICE_MemBitmap;
class LICE_SysBitmap;
class WDL_Mutex;
class WDL_String;

constexpr int DEFAULT_FPS = 25;

class IGraphics {
public:
  // fps <= 0 gives DEFAULT_FPS. No bitmap is made until PrepDraw.
  IGraphics(IPlugBase* plug, int w, int h, int fps = 0);
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // ---- Virtual operations: the platform's and those tests replace ----
  virtual bool DrawScreen(IRECT* rect) = 0;
  virtual bool MeasureIText(IText* text, const char* str, IRECT* destRect);
  virtual void ForceEndUserEdit() = 0;
  // A new editor size in editor pixels: the controls stay, the bitmaps are
  // made again and the plug-in asks the host for the view's new size. When
  // the host refuses, the editor goes back to the size it had (false).
  virtual bool Resize(int w, int h);
  // A new scale (rounded to a step and clamped to the range): the controls
  // and their coordinates stay, everything is drawn again at the new size
  // and the plug-in hears of the view's new size.
  virtual void SetScalePercent(int percent);
  // The desktop's scale (a step), or 0 when it says nothing.
  virtual int DesktopScalePercent() { return 0; }
  virtual bool WindowIsOpen() { return GetWindow() != nullptr; }
  virtual const char* GetGUIAPI() { return ""; }
  virtual int ShowMessageBox(const char* text, const char* caption, int type) = 0;
  // Shows the menu and waits; returns the menu holding the pick (with its
  // chosen index set), or null.
  virtual IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* rect) = 0;
  // Opens a text field and returns at once; the platform reports the text
  // through SetFromStringAfterPrompt (param set) or the control's
  // TextFromTextEntry.
  virtual void CreateTextEntry(IControl* control, IText* text, IRECT* rect, const char* str, IParam* param) = 0;
  virtual void HostPath(WDL_String* path) = 0;
  virtual void PluginPath(WDL_String* path) = 0;
  virtual void DesktopPath(WDL_String* path) = 0;
  virtual void AppSupportPath(WDL_String* path, bool isSystem = false) = 0;
  virtual void SandboxSafeAppSupportPath(WDL_String* path) = 0;
  virtual void PromptForFile(WDL_String* fileName, EFileAction action = kFileOpen, WDL_String* dir = nullptr,
                             const char* extensions = "") = 0;
  virtual bool PromptForColor(IColor* color, const char* prompt = "") = 0;
  virtual bool OpenURL(const char* url, const char* msgWindowTitle = nullptr, const char* confirmMsg = nullptr,
                       const char* errMsgOnFailure = nullptr) = 0;
  virtual void* OpenWindow(void* parent) = 0;
  // Opens the editor inside the host's parent window, its timer and window
  // events served by the loop the host binding hands over (kept until the
  // window closes). A window system that brings a loop of its own has no use
  // for it. False when no window opened. The base, for engines without a
  // window system, opens what OpenWindow opens and answers true.
  virtual bool OpenWindowOnRunLoop(void* parent, std::unique_ptr<EditorRunLoop> runLoop);
  // Window types the platform layer does not serve open nothing.
  virtual void* OpenWindow(void* /*parent*/, void* /*parentView*/, short /*x*/, short /*y*/) { return nullptr; }
  virtual void AttachSubWindow(void* /*hostWindow*/) {}
  virtual void RemoveSubWindow() {}
  virtual void CloseWindow() = 0;
  virtual void* GetWindow() = 0;
  virtual bool GetTextFromClipboard(WDL_String* str) = 0;
  virtual ~IGraphics();
  virtual void HideMouseCursor() {}
  virtual void ShowMouseCursor() {}
  virtual void UpdateTooltips() = 0;
  // Loads an image file; null when it cannot.
  virtual LICE_IBitmap* OSLoadBitmap(int id, const char* name) = 0;

  // Shows a parameter's value in the controls bound to it, without telling
  // the host. Safe from the audio thread.
  virtual void SetParameterFromPlug(int paramIdx, double value, bool normalized);
  // Makes the draw bitmap (at the scale) and the scratch bitmap.
  virtual void PrepDraw();
  // Feeds one control by index; an index outside the list is ignored.
  virtual void SetControlFromPlug(int controlIdx, double normalizedValue);
  // The secondary button where no control takes it: offers the editor's
  // sizes. The pick applies at once and is remembered for new editors.
  virtual void OnBackgroundMenu(int x, int y);

  // ---- Set-up ----
  IBitmap LoadIBitmap(int id, const char* name, int nStates = 1, bool framesAreHorizontal = false);
  void AttachBackground(int id, const char* name);
  void AttachPanelBackground(const IColor& color);
  // Takes ownership; returns the control's index, or the last index when the
  // list cannot grow (the control is then deleted, not leaked).
  int AttachControl(IControl* control);
  // Takes ownership, replacing (and deleting) an earlier key catcher.
  void AttachKeyCatcher(IControl* control);

  // ---- Values between plug-in and controls ----
  void SetParameterFromGUI(int paramIdx, double normalizedValue);
  void ClampControl(int paramIdx, double lo, double hi, bool normalized);
  void HideControl(int paramIdx, bool hide);
  void GrayOutControl(int paramIdx, bool gray);
  void SetAllControlsDirty();
  void SetStrictDrawing(bool strict);
  void AssignParamNameToolTips();
  // The timer's work before a redraw: the meters the plug-in published are
  // shown, then the controls' own idle work.
  void OnGUIIdle();
  void PromptUserInput(IControl* control, IParam* param, IRECT* rect);
  void SetFromStringAfterPrompt(IControl* control, IParam* param, const char* txt);

  // ---- Events from the platform view, in editor pixels ----
  void OnMouseDown(int x, int y, IMouseMod* mod);
  void OnMouseUp(int x, int y, IMouseMod* mod);
  void OnMouseDrag(int x, int y, IMouseMod* mod);
  bool OnMouseDblClick(int x, int y, IMouseMod* mod);
  void OnMouseWheel(int x, int y, IMouseMod* mod, int delta);
  bool OnMouseOver(int x, int y, IMouseMod* mod);
  void OnMouseOut();
  bool OnKeyDown(int x, int y, int key);
  int GetMouseControlIdx(int x, int y, bool mouseOver = false);
  void ReleaseMouseCapture();
  // Tells the host the edit gesture a press began is over, if one is open:
  // at the release, and when the window closes or the controls go first.
  void EndMouseGesture();

  // ---- Redraw ----
  // Grows *rect by every dirty control; cleans nothing.
  bool IsDirty(IRECT* rect);
  // Draws the controls in *rect into the draw bitmap, then presents it.
  bool Draw(IRECT* rect);

  // ---- Image drawing, clipped to the rectangle being redrawn ----
  bool DrawBitmap(IBitmap* bitmap, IRECT* dest, int srcX, int srcY, const IChannelBlend* blend = nullptr);
  bool DrawBitmap(IBitmap* bitmap, IRECT* dest, int frame, const IChannelBlend* blend = nullptr);
  bool DrawRotatedBitmap(IBitmap* bitmap, int destCentreX, int destCentreY, double angle, int yOffsetZeroDeg = 0,
                         const IChannelBlend* blend = nullptr);
  bool DrawRotatedMask(IBitmap* base, IBitmap* mask, IBitmap* top, int x, int y, double angle,
                       const IChannelBlend* blend = nullptr);

  // ---- Drawing primitives; the trailing bool is anti-aliasing ----
  bool DrawPoint(const IColor* color, float x, float y, const IChannelBlend* blend = nullptr, bool antiAlias = false);
  // Writes the colour as is, without blending; outside the bitmap nothing.
  bool ForcePixel(const IColor* color, int x, int y);
  bool DrawLine(const IColor* color, float x1, float y1, float x2, float y2, const IChannelBlend* blend = nullptr,
                bool antiAlias = false);
  // Angles in radians, clockwise from straight up.
  bool DrawArc(const IColor* color, float cx, float cy, float r, float minAngle, float maxAngle,
               const IChannelBlend* blend = nullptr, bool antiAlias = false);
  bool DrawCircle(const IColor* color, float cx, float cy, float r, const IChannelBlend* blend = nullptr,
                  bool antiAlias = false);
  bool DrawRadialLine(const IColor* color, float cx, float cy, float angle, float rMin, float rMax,
                      const IChannelBlend* blend = nullptr, bool antiAlias = false);
  bool RoundRect(const IColor* color, IRECT* rect, const IChannelBlend* blend, int cornerRadius, bool antiAlias);
  bool FillRoundRect(const IColor* color, IRECT* rect, const IChannelBlend* blend, int cornerRadius, bool antiAlias);
  bool FillIRect(const IColor* color, IRECT* rect, const IChannelBlend* blend = nullptr);
  bool FillCircle(const IColor* color, int cx, int cy, float r, const IChannelBlend* blend = nullptr,
                  bool antiAlias = false);
  bool FillTriangle(const IColor* color, int x1, int y1, int x2, int y2, int x3, int y3,
                    const IChannelBlend* blend = nullptr);
  bool FillIConvexPolygon(const IColor* color, const int* x, const int* y, int npoints,
                          const IChannelBlend* blend = nullptr);
  bool DrawRect(const IColor* color, IRECT* rect);
  bool DrawVerticalLine(const IColor* color, int xi, int yLo, int yHi);
  bool DrawVerticalLine(const IColor* color, IRECT* rect, float x);
  bool DrawHorizontalLine(const IColor* color, int yi, int xLo, int xHi);
  bool DrawHorizontalLine(const IColor* color, IRECT* rect, float y);
  // Transparent black outside the draw bitmap.
  IColor GetPoint(int x, int y);
  // Pixel memory of the draw bitmap; null before PrepDraw.
  void* GetBits();

  // ---- Text ----
  // Draws (or with measure, only measures into *destRect) str in the style.
  // False when no font can be had.
  bool DrawIText(IText* text, const char* str, IRECT* destRect, bool measure = false);
  // The style's font, created and cached process-wide on first use.
  LICE_CachedFont* CacheFont(IText* text);

  // ---- Derived images, owned by the bitmap cache ----
  IBitmap ScaleBitmap(IBitmap* src, int destW, int destH);
  IBitmap CropBitmap(IBitmap* src, IRECT* rect);
  void RetainBitmap(IBitmap* bitmap);
  void ReleaseBitmap(IBitmap* bitmap);

  // ---- Scale ----
  // Where the scale comes from, first found wins: the host's factor, the
  // user's pick (remembered in the settings file), the desktop, 100 %.
  // A host factor of 0, below 0 or not a number is refused (false).
  bool SetHostScaleFactor(double factor);
  // The user's pick from the background menu: applied and remembered.
  void ChooseScalePercent(int percent);
  // The scale in effect, resolved from its sources on first use.
  int ScalePercent();
  // The editor in device pixels: the view's size.
  int ViewWidth();
  int ViewHeight();
  // The device pixels an editor rectangle touches, rounded outward.
  IRECT ToDevice(const IRECT& rect);
  // A device position as the editor pixel it lies in.
  int FromDevice(int device);

  // ---- Accessors ----
  IPlugBase* GetPlug() const { return mPlug; }
  // The editor's size in editor pixels (the layout's unit).
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  int FPS() const { return mFPS; }
  int NControls() const { return mControls.GetSize(); }
  IControl* GetControl(int idx) const { return mControls.Get(idx); }
  IControl* GetKeyCatcher() const { return mKeyCatcher; }
  // The off-screen image in device pixels; null before PrepDraw.
  LICE_SysBitmap* GetDrawBitmap() const { return mDrawBitmap; }
  const IRECT& GetDrawRect() const { return mDrawRECT; }
  int GetMouseCapture() const { return mMouseCapture; }
  int GetMouseOver() const { return mMouseOver; }
  int GetMouseX() const { return mMouseX; }
  int GetMouseY() const { return mMouseY; }
  bool CanHandleMouseOver() const { return mHandleMouseOver; }
  void HandleMouseOver(bool canHandle) { mHandleMouseOver = canHandle; }
  bool IsStrictDrawing() const { return mStrict; }
  bool TooltipsEnabled() const { return mEnableTooltips; }
  void EnableTooltips(bool enable) { mEnableTooltips = enable; }

private:
  // Topmost control under (x, y) that takes the event, or -1.
  int FindTarget(int x, int y, bool mouseOver) const;
  void CaptureMouse(int idx, int x, int y);
  // Ends any open gesture, then tells the host one of paramIdx begins.
  void BeginMouseGesture(int paramIdx);
  // The size in editor pixels, the bitmaps made again at it.
  void SetSize(int w, int h);
  void DrawStrict(const IRECT& rect);
  void DrawNonStrict();
  void DeleteControlsAndBitmaps();
  // The plug-in's instance lock, which guards the control list while it
  // grows; null without a plug-in.
  WDL_Mutex* ControlListMutex() const;
  // Shows the values the plug-in published for its meters.
  void PullMeterValues();
  // The image as drawn at the scale: the image itself at 100 %, else made
  // once per scale from the image's 2x file (or, without one, from the
  // image), frame by frame with filtering.
  LICE_IBitmap* DeviceImage(const IBitmap& bitmap);
  std::unique_ptr<LICE_IBitmap> MakeDeviceImage(const IBitmap& bitmap);
  // Where a bitmap is drawn: the rectangle being redrawn, in device pixels.
  IRECT DeviceClip();
  // A copy of the style at the scale's pixel size (no font cached yet).
  IText ScaledText(const IText& text) const;
  // DrawIText's work with *destRect in device pixels.
  bool DrawDeviceText(IText* text, const char* str, IRECT* destRect, bool measure);
  // The menu half of PromptUserInput: one item per display text.
  void PromptFromMenu(IControl* control, IParam* param, IRECT* rect);
  // Fills *dest with a new image of w x h owned by the bitmap cache.
  bool NewCachedBitmap(int w, int h, LICE_MemBitmap** dest);

  IPlugBase* mPlug;
  WDL_PtrList<IControl> mControls;
  int mScalePercent = 100;
  bool mScaleResolved = false;
  // Resource names of the loaded images, for their 2x files.
  std::map<const LICE_IBitmap*, std::string> mImageNames;
  // Images at the current scale, by the image they are made from.
  std::map<const LICE_IBitmap*, std::unique_ptr<LICE_IBitmap>> mDeviceImages;
  IRECT mDrawRECT;
  LICE_SysBitmap* mDrawBitmap = nullptr;
  LICE_MemBitmap* mTmpBitmap = nullptr;
  int mWidth;
  int mHeight;
  int mFPS;
  int mMouseCapture = -1;
  // The parameter whose edit gesture the host was told began; each gesture
  // it hears of ends exactly once, whatever the pointer does meanwhile.
  int mGestureParamIdx = -1;
  int mMouseOver = -1;
  int mMouseX = 0;
  int mMouseY = 0;
  bool mHandleMouseOver = false;
  bool mStrict = true;
  bool mEnableTooltips = false;
  IControl* mKeyCatcher = nullptr;
  // The control AttachBackground or AttachPanelBackground made.
  IControl* mBackground = nullptr;
  // The meter values last shown, so that only changes reach the controls
  // and values set otherwise (a host's meter port) stand.
  double mShownMeters[8] = {};
};
