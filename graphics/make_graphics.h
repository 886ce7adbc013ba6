// The editor engine an instance builds its editor on. Each module links one
// definition: the platform's windowed engine (graphics/linux), or an engine
// that never shows anything (graphics/headless) for a module that only
// processes.
#pragma once

#include <memory>

class IGraphics;
class IPlugBase;

std::unique_ptr<IGraphics> MakeGraphics(IPlugBase* plug, int w, int h, int fps);
