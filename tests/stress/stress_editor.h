// The editor scenario of the stress host: on the calling (UI) thread the
// editor of one instance is opened in a host window on a private X server,
// driven with synthetic input and closed, again and again, while another
// thread processes audio, automates and edits the same instance.
#pragma once

#include <chrono>

#include "pluginterfaces/base/ipluginbase.h"
#include "tests/stress/stress_options.h"
#include "tests/stress/stress_report.h"

// Reports that it skipped, and finds nothing, where no X server starts.
void RunEditorStress(Steinberg::IPluginFactory* factory, const StressOptions& options,
                     std::chrono::steady_clock::time_point end, StressReport& report);
