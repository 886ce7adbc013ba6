// The SDK's sources define the identifiers of the processing and controller
// interfaces but not those of the editor view and its host frame.
#include "pluginterfaces/gui/iplugview.h"

namespace Steinberg {
DEF_CLASS_IID(IPlugView)
DEF_CLASS_IID(IPlugFrame)
}  // namespace Steinberg
