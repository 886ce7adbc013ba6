#include <gtest/gtest.h>

#include <string>

#include "framework/iparam.h"
#include "graphics/controls/ibitmap_text_control.h"
#include "graphics/controls/icaption_control.h"
#include "graphics/controls/ifile_selector_control.h"
#include "graphics/controls/iurl_control.h"
#include "tests/graphics/controls/controls_test_support.h"

namespace {
constexpr const char* kFace = "DejaVu Sans";

// Counts pixels in r that differ from 0 (nothing drawn yet).
int Inked(ControlsTestEditor& editor, const IRECT& r) {
  int n = 0;
  for (int y = r.T; y < r.B; ++y)
    for (int x = r.L; x < r.R; ++x) n += editor.Pixel(x, y) != 0u;
  return n;
}

// A character sheet from the space to '~': frame f holds FramePixel(f).
IBitmap CharSheet(ControlsTestEditor& editor) { return editor.Strip(95, 6, 10); }

int FrameOf(char c) { return c - 31; }
}  // namespace

TEST(ICaptionControl, ShowsTheParametersDisplayTextAndLabel) {
  ControlsTestEditor editor;
  IText style(12, COLOR_WHITE, kFace);
  auto* withLabel = new ICaptionControl(&editor.plug, IRECT(0, 0, 100, 20), kGain, &style, true);
  auto* bare = new ICaptionControl(&editor.plug, IRECT(0, 20, 100, 40), kGain, &style, false);
  auto* mode = new ICaptionControl(&editor.plug, IRECT(0, 40, 100, 60), kMode, &style, true);
  editor.gui->AttachControl(withLabel);
  editor.gui->AttachControl(bare);
  editor.gui->AttachControl(mode);
  editor.plug.GetParam(kGain)->Set(3.5);
  editor.Attach();
  editor.DrawAll();
  EXPECT_STREQ(withLabel->GetTextForPlug(), "3.50 dB");
  EXPECT_STREQ(bare->GetTextForPlug(), "3.50");
  // A display text replaces the number and drops the label.
  EXPECT_STREQ(mode->GetTextForPlug(), "Max ");
  EXPECT_GT(Inked(editor, IRECT(0, 0, 100, 20)), 10);
  EXPECT_EQ(withLabel->ParamIdx(), kGain);
}

TEST(ICaptionControl, EitherButtonAndDoubleClickPrompt) {
  ControlsTestEditor editor;
  auto* caption = new ICaptionControl(&editor.plug, IRECT(0, 0, 100, 20), kGain, nullptr);
  editor.gui->AttachControl(caption);
  editor.Attach();
  caption->DisablePrompt(false);
  IMouseMod left(true);
  IMouseMod right(false, true);
  caption->OnMouseDown(5, 5, &left);
  caption->OnMouseDown(5, 5, &right);
  caption->OnMouseDblClick(5, 5, &left);
  EXPECT_EQ(editor.gui->TextEntryRequests().size(), 3u);
}

TEST(IURLControl, OpensTheURLAndFallsBackToTheBackup) {
  ControlsTestEditor editor;
  auto* link = new IURLControl(&editor.plug, IRECT(0, 0, 50, 50), "https://example.com/product/morvante/",
                               "https://example.org/", "could not open");
  editor.gui->AttachControl(link);
  editor.Attach();
  IMouseMod right(false, true);
  editor.gui->OnMouseDown(10, 10, &right);
  // The headless platform opens nothing, so the backup is tried too.
  ASSERT_EQ(editor.gui->OpenedURLs().size(), 2u);
  EXPECT_EQ(editor.gui->OpenedURLs()[0], "https://example.com/product/morvante/");
  EXPECT_EQ(editor.gui->OpenedURLs()[1], "https://example.org/");
  EXPECT_STREQ(link->GetErrMsg(), "could not open");
  // Nothing is drawn.
  editor.DrawAll();
  EXPECT_EQ(Inked(editor, IRECT(0, 0, 50, 50)), 0);
}

TEST(IURLControl, EmptyTextsOpenNothingAndOnlyBackupOpensTheBackup) {
  ControlsTestEditor editor;
  auto* none = new IURLControl(&editor.plug, IRECT(0, 0, 10, 10), "", "");
  auto* nulls = new IURLControl(&editor.plug, IRECT(0, 10, 10, 20), nullptr);
  auto* backupOnly = new IURLControl(&editor.plug, IRECT(0, 20, 10, 30), nullptr, "https://example.org/");
  editor.gui->AttachControl(none);
  editor.gui->AttachControl(nulls);
  editor.gui->AttachControl(backupOnly);
  editor.Attach();
  IMouseMod left(true);
  none->OnMouseDown(1, 1, &left);
  nulls->OnMouseDown(1, 11, &left);
  EXPECT_TRUE(editor.gui->OpenedURLs().empty());
  backupOnly->OnMouseDown(1, 21, &left);
  ASSERT_EQ(editor.gui->OpenedURLs().size(), 1u);
  EXPECT_EQ(editor.gui->OpenedURLs()[0], "https://example.org/");
}

TEST(IURLControl, OverlongTextsAreCutToTheirArrays) {
  ControlsTestEditor editor;
  const std::string url(1000, 'u');
  const std::string message(5000, 'm');
  IURLControl link(&editor.plug, IRECT(0, 0, 10, 10), url.c_str(), url.c_str(), message.c_str());
  EXPECT_EQ(std::string(link.GetURL()), url.substr(0, 255));
  EXPECT_EQ(std::string(link.GetBackupURL()), url.substr(0, 255));
  EXPECT_EQ(std::string(link.GetErrMsg()), message.substr(0, 1023));
}

namespace {
// A platform whose file dialog draws the editor while it is up and picks a
// file.
class FileDialogEngine : public IGraphicsHeadless {
public:
  explicit FileDialogEngine(IPlugBase* plug) : IGraphicsHeadless(plug, 50, 50) {}
  void PromptForFile(WDL_String* fileName, EFileAction action, WDL_String* dir, const char* extensions) override {
    IRECT all(0, 0, 50, 50);
    Draw(&all);
    pixelWhileUp = GetPoint(5, 5).Packed();
    seenAction = action;
    seenDir = dir ? dir->Get() : "";
    seenExtensions = extensions ? extensions : "";
    fileName->Set("/tmp/impulse.wav");
  }
  LICE_pixel pixelWhileUp = 0;
  EFileAction seenAction = kFileOpen;
  std::string seenDir;
  std::string seenExtensions;
};
}  // namespace

TEST(IFileSelectorControl, PressAsksForAFileShowsTheImageMeanwhileAndStepsTheValue) {
  ControlsTestPlug plug(kAPIVST2);
  auto* engine = new FileDialogEngine(&plug);
  LICE_MemBitmap pixels(20, 20);
  for (int i = 0; i < 400; ++i) pixels.getBits()[i] = FramePixel(9);
  auto* selector = new IFileSelectorControl(&plug, IRECT(0, 0, 20, 20), kRange, IBitmap(&pixels, 20, 20),
                                            kFileSave, "/tmp", "wav aif");
  engine->AttachControl(selector);
  engine->AttachPanelBackground(COLOR_BLACK);
  plug.AttachGraphics(engine);
  selector->SetValue(0.0);
  IRECT all(0, 0, 50, 50);
  engine->Draw(&all);
  EXPECT_EQ(engine->GetPoint(5, 5), COLOR_BLACK);

  IMouseMod left(true);
  selector->OnMouseDown(5, 5, &left);
  EXPECT_EQ(engine->pixelWhileUp, FramePixel(9));
  EXPECT_EQ(engine->seenAction, kFileSave);
  EXPECT_EQ(engine->seenDir, "/tmp");
  EXPECT_EQ(engine->seenExtensions, "wav aif");
  WDL_String file;
  selector->GetLastSelectedFileForPlug(&file);
  EXPECT_STREQ(file.Get(), "/tmp/impulse.wav");
  EXPECT_DOUBLE_EQ(selector->GetValue(), 1.0);
  EXPECT_DOUBLE_EQ(plug.informed.back(), 1.0);
  EXPECT_EQ(selector->GetState(), IFileSelectorControl::kFSDone);

  // Dirty while the flag says so, then once more to take the image away.
  selector->SetClean();
  selector->SetClean();
  EXPECT_TRUE(selector->IsDirty());
  EXPECT_EQ(selector->GetState(), IFileSelectorControl::kFSNone);
  EXPECT_FALSE(selector->IsDirty());
  engine->Draw(&all);
  EXPECT_EQ(engine->GetPoint(5, 5), COLOR_BLACK);

  // The next pick wraps the value to 0.
  selector->OnMouseDown(5, 5, &left);
  EXPECT_DOUBLE_EQ(selector->GetValue(), 0.0);
  selector->SetLastSelectedFileFromPlug("/a.wav");
  selector->GetLastSelectedFileForPlug(&file);
  EXPECT_STREQ(file.Get(), "/a.wav");
}

TEST(IFileSelectorControl, WithoutAnEditorAPressDoesNothing) {
  ControlsTestPlug plug(kAPIVST2);
  LICE_MemBitmap pixels(4, 4);
  IFileSelectorControl selector(&plug, IRECT(0, 0, 4, 4), kRange, IBitmap(&pixels, 4, 4), kFileOpen);
  selector.SetValue(0.0);
  IMouseMod left(true);
  selector.OnMouseDown(1, 1, &left);
  EXPECT_DOUBLE_EQ(selector.GetValue(), 0.0);
  EXPECT_EQ(selector.GetState(), IFileSelectorControl::kFSNone);
  EXPECT_TRUE(plug.informed.empty());
}

TEST(IBitmapTextControl, CharactersComeFromTheSheetByAlignment) {
  ControlsTestEditor editor;
  IText near(10);
  near.mAlign = IText::kAlignNear;
  IText far(10);
  far.mAlign = IText::kAlignFar;
  IText centre(10);
  auto* a = new IBitmapTextControl(&editor.plug, IRECT(0, 0, 30, 10), CharSheet(editor), "AB", &near, 6, 10);
  auto* b = new IBitmapTextControl(&editor.plug, IRECT(0, 20, 30, 30), CharSheet(editor), "AB", &far, 6, 10);
  auto* c = new IBitmapTextControl(&editor.plug, IRECT(0, 40, 30, 50), CharSheet(editor), "AB", &centre, 6, 10);
  editor.gui->AttachControl(a);
  editor.gui->AttachControl(b);
  editor.gui->AttachControl(c);
  editor.Attach();
  editor.DrawAll();
  EXPECT_EQ(editor.Pixel(0, 5), FramePixel(FrameOf('A')));
  EXPECT_EQ(editor.Pixel(6, 5), FramePixel(FrameOf('B')));
  EXPECT_EQ(editor.Pixel(12, 5), 0u);
  EXPECT_EQ(editor.Pixel(17, 25), 0u);
  EXPECT_EQ(editor.Pixel(18, 25), FramePixel(FrameOf('A')));
  EXPECT_EQ(editor.Pixel(29, 25), FramePixel(FrameOf('B')));
  EXPECT_EQ(editor.Pixel(8, 45), 0u);
  EXPECT_EQ(editor.Pixel(9, 45), FramePixel(FrameOf('A')));
  EXPECT_EQ(editor.Pixel(20, 45), FramePixel(FrameOf('B')));
  EXPECT_EQ(editor.Pixel(21, 45), 0u);
}

TEST(IBitmapTextControl, SingleLineDrawsOnlyWhatFitsAndMultiLineWraps) {
  ControlsTestEditor editor;
  IText near(10);
  near.mAlign = IText::kAlignNear;
  auto* one = new IBitmapTextControl(&editor.plug, IRECT(0, 0, 30, 10), CharSheet(editor), "abcdefg", &near, 6, 10);
  auto* many = new IBitmapTextControl(&editor.plug, IRECT(50, 0, 80, 25), CharSheet(editor), "abcdefg", &near, 6,
                                      10, 0, true, false);
  editor.gui->AttachControl(one);
  editor.gui->AttachControl(many);
  editor.Attach();
  EXPECT_EQ(one->CharsPerLine(), 5);
  editor.DrawAll();
  EXPECT_EQ(editor.Pixel(24, 5), FramePixel(FrameOf('e')));
  EXPECT_EQ(editor.Pixel(30, 5), 0u);
  EXPECT_EQ(editor.Pixel(74, 5), FramePixel(FrameOf('e')));
  EXPECT_EQ(editor.Pixel(50, 15), FramePixel(FrameOf('f')));
  EXPECT_EQ(editor.Pixel(56, 15), FramePixel(FrameOf('g')));
  EXPECT_EQ(editor.Pixel(62, 15), 0u);
}

TEST(IBitmapTextControl, VerticalCentringSpacingAndUnknownCharacters) {
  ControlsTestEditor editor;
  IText near(10);
  near.mAlign = IText::kAlignNear;
  // 'a', a byte past '~' (no frame), then 'b', 2 pixels apart.
  auto* text = new IBitmapTextControl(&editor.plug, IRECT(0, 0, 60, 30), CharSheet(editor), "a\xc3"
                                      "b", &near, 6, 10, 2, false, true);
  editor.gui->AttachControl(text);
  editor.Attach();
  editor.DrawAll();
  EXPECT_EQ(editor.Pixel(0, 9), 0u);
  EXPECT_EQ(editor.Pixel(0, 10), FramePixel(FrameOf('a')));
  EXPECT_EQ(editor.Pixel(0, 19), FramePixel(FrameOf('a')));
  EXPECT_EQ(editor.Pixel(0, 20), 0u);
  EXPECT_EQ(editor.Pixel(6, 15), 0u);   // spacing
  EXPECT_EQ(editor.Pixel(10, 15), 0u);  // the unknown character's cell
  EXPECT_EQ(editor.Pixel(16, 15), FramePixel(FrameOf('b')));
}

TEST(IBitmapTextControl, EqualTextChangesNothing) {
  ControlsTestEditor editor;
  IBitmapTextControl text(&editor.plug, IRECT(0, 0, 30, 10), CharSheet(editor), "x");
  text.SetClean();
  text.SetTextFromPlug("x");
  EXPECT_FALSE(text.IsDirty());
  text.SetTextFromPlug("y");
  EXPECT_TRUE(text.IsDirty());
  EXPECT_STREQ(text.GetTextForPlug(), "y");
}
