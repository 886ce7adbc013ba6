// The platform's GDI-style drawing layer, as the raster library sees it.
#pragma once

#if defined(__APPLE__)
#include "graphics/mac/swell_gdi.h"
#else
#include "graphics/linux/swell_gdi.h"
#endif
