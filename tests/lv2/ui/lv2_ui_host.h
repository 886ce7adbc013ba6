// The host's side of MORVANTE's LV2 user interface in the tests: the UI
// module loaded with dlopen, instantiated with a parent window and the
// features a host offers, driven by idle calls, and everything it sends the
// host recorded.
#pragma once

#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <string>
#include <vector>

namespace lv2uitest {

// The module, loaded once per test program.
class UiModule {
public:
  static UiModule& Get();
  bool Loaded() const { return mDescriptor != nullptr; }
  const std::string& Error() const { return mError; }
  const LV2UI_Descriptor* Descriptor() const { return mDescriptor; }
  // lv2ui_descriptor itself, for the index checks.
  const LV2UI_Descriptor* (*Entry)(uint32_t) = nullptr;

private:
  UiModule();
  void* mHandle = nullptr;
  const LV2UI_Descriptor* mDescriptor = nullptr;
  std::string mError;
};

// A square of bare artwork on the editor's background, away from every
// control, and how many of the pixels shown there (0x00RRGGBB, row by row)
// differ from the bundle's background image.
constexpr int kArtworkPatchX = 60, kArtworkPatchY = 480, kArtworkPatchSize = 24;
int PixelsDifferingFromArtwork(const std::vector<uint32_t>& shown);

// What the UI sent the host, in order.
struct HostCall {
  char kind;  // 'w' write, 't' touch grabbed, 'r' touch released, 's' resize
  uint32_t port;
  float value;  // the written value; for 's' the width (height in port)
};

class UiHost {
public:
  struct Options {
    bool offerTouch = true;
    bool offerResize = true;
    bool offerParent = true;
    bool offerMap = true;
    // ui:resize answers that the size cannot be had.
    bool refuseResize = false;
    // Offered as the ui:scaleFactor option where not 0.
    float scaleFactor = 0.0f;
  };
  UiHost();
  explicit UiHost(Options options) : mOptions(options) {}
  ~UiHost() { Close(); }
  UiHost(const UiHost&) = delete;
  UiHost& operator=(const UiHost&) = delete;

  // Instantiates the UI in parent; false when the UI refuses.
  bool Open(unsigned long parent, const char* pluginUri, const char* bundlePath);
  void Close();
  bool IsOpen() const { return mHandle != nullptr; }
  LV2UI_Widget Widget() const { return mWidget; }

  // Idle calls every few milliseconds for this long; the last answer.
  int IdleFor(int ms);
  void PortEvent(uint32_t port, float value);
  void RawPortEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer);

  std::vector<HostCall> calls;

private:
  static void Write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t protocol,
                    const void* buffer);
  static void Touch(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed);
  static int Resize(LV2UI_Feature_Handle handle, int w, int h);
  static LV2_URID Map(LV2_URID_Map_Handle handle, const char* uri);

  Options mOptions;
  LV2UI_Handle mHandle = nullptr;
  LV2UI_Widget mWidget = nullptr;
  const LV2UI_Idle_Interface* mIdle = nullptr;
  std::vector<std::string> mUris;
  LV2_URID_Map mMap{};
  LV2UI_Touch mTouch{};
  LV2UI_Resize mResize{};
};

}  // namespace lv2uitest
