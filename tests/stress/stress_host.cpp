// The stress host: loads the MORVANTE bundle as a DAW does and, for a bounded
// time and from a printed seed, drives instances from several threads
// through the VST3 interfaces the way the harshest hosts do. A watchdog
// aborts a run that stops making progress; sanitizers report what the
// checks here cannot see. Exit status 1 when anything was found.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <dlfcn.h>
#include <sanitizer/lsan_interface.h>
#endif

#include "tests/stress/stress_editor.h"
#include "tests/stress/stress_instance.h"
#include "tests/stress/stress_options.h"
#include "tests/stress/stress_report.h"

using namespace Steinberg;
using Clock = std::chrono::steady_clock;

namespace {

struct Scenario {
  const char* name;
  void (*run)(IPluginFactory* factory, const StressOptions& options, Clock::time_point end, StressReport& report);
};

int Uniform(StressRng& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

StressRng ThreadRng(const StressOptions& options, int thread) {
  std::seed_seq seq{static_cast<uint32_t>(options.seed), static_cast<uint32_t>(options.seed >> 32),
                    static_cast<uint32_t>(thread)};
  return StressRng(seq);
}

void RunThreads(int n, const std::function<void(int)>& body) {
  std::vector<std::thread> threads;
  for (int t = 0; t < n; ++t) threads.emplace_back(body, t);
  for (std::thread& thread : threads) thread.join();
}

// Instances made, set up, run for a few blocks and destroyed, on every
// thread at once.
void RunLifecycle(IPluginFactory* factory, const StressOptions& options, Clock::time_point end,
                  StressReport& report) {
  RunThreads(options.threads, [&](int t) {
    StressRng rng = ThreadRng(options, t);
    int round = 0;
    while (KeepGoing(round, 3, end)) {
      StressInstance plug(factory, report);
      if (!plug.Ok()) return;
      if (Uniform(rng, 0, 3) == 0) continue;  // made and dropped unused
      if (!plug.Start(RandomSetup(rng))) continue;
      const int blocks = Uniform(rng, 0, 6);
      for (int b = 0; b < blocks; ++b) plug.ProcessRandomBlock(rng, true);
      report.Progress();
    }
  });
}

// One audio thread per instance processing random blocks with automation
// and restarts; one host thread saving states at random moments and
// restoring them into the same or another instance while the audio runs,
// and editing parameters as a generic editor does.
void RunAudio(IPluginFactory* factory, const StressOptions& options, Clock::time_point end, StressReport& report) {
  std::vector<std::unique_ptr<StressInstance>> plugs;
  for (int t = 0; t < options.threads; ++t) {
    plugs.push_back(std::make_unique<StressInstance>(factory, report));
    if (!plugs.back()->Ok()) return;
  }
  std::atomic<bool> audioDone{false};
  std::thread host([&] {
    StressRng rng = ThreadRng(options, -1);
    while (!audioDone.load(std::memory_order_acquire)) {
      StressInstance& from = *plugs[static_cast<size_t>(Uniform(rng, 0, options.threads - 1))];
      StressInstance& into = *plugs[static_cast<size_t>(Uniform(rng, 0, options.threads - 1))];
      for (int s = 0; s < kNumStateSides; ++s) {
        std::vector<uint8_t> bytes;
        if (!from.SaveState(kStateSides[s], &bytes)) continue;
        if (into.RestoreState(kStateSides[s], bytes) == kResultOk)
          report.stateRoundTrips.fetch_add(1, std::memory_order_relaxed);
      }
      into.RandomEdits(rng);
      into.CheckParameters("while the audio runs");
      report.Progress();
      std::this_thread::sleep_for(std::chrono::microseconds(Uniform(rng, 0, 3000)));
    }
  });
  RunThreads(options.threads, [&](int t) {
    StressRng rng = ThreadRng(options, t);
    StressInstance& plug = *plugs[static_cast<size_t>(t)];
    if (!plug.Start(RandomSetup(rng))) return;
    int block = 0;
    while (KeepGoing(block, 50, end)) {
      plug.MaybeRestart(rng);
      plug.ProcessRandomBlock(rng, Uniform(rng, 0, 2) != 0);
    }
  });
  audioDone.store(true, std::memory_order_release);
  host.join();
}

// Renders the same random input through both instances for a few blocks;
// with outputs they are appended to.
void RenderBoth(StressRng& rng, int frames, StressInstance& b, StressInstance& c, std::vector<double>* outB,
                std::vector<double>* outC) {
  std::vector<double> input(static_cast<size_t>(frames) * 2);
  const int blocks = Uniform(rng, 1, 4);
  for (int i = 0; i < blocks; ++i) {
    for (double& x : input) x = std::uniform_real_distribution<double>(-1.0, 1.0)(rng);
    b.ProcessFixedBlock(input, frames, outB);
    c.ProcessFixedBlock(input, frames, outC);
  }
}

// A state saved from an automated instance restores byte for byte into
// itself and, mid-stream, into a fresh instance; that one's state restores
// into a third with the same history, and the two then render the same
// audio.
void RunRoundTrip(IPluginFactory* factory, const StressOptions& options, Clock::time_point end,
                  StressReport& report) {
  RunThreads(options.threads, [&](int t) {
    StressRng rng = ThreadRng(options, t);
    int round = 0;
    while (KeepGoing(round, 1, end)) {
      StressInstance a(factory, report), b(factory, report), c(factory, report);
      if (!a.Ok() || !b.Ok() || !c.Ok()) return;
      const StressSetup setup = RandomSetup(rng);
      if (!a.Start(setup) || !b.Start(setup) || !c.Start(setup)) continue;
      const int blocks = Uniform(rng, 1, 20);
      for (int i = 0; i < blocks; ++i) a.ProcessRandomBlock(rng, true);
      a.RandomEdits(rng);
      std::vector<double> outB, outC;
      RenderBoth(rng, setup.maxBlock, b, c, &outB, &outC);
      for (int s = 0; s < kNumStateSides; ++s) {
        const StateSide& side = kStateSides[s];
        std::vector<uint8_t> saved, again, copied, copiedAgain;
        if (!a.SaveState(side, &saved)) continue;
        if (a.RestoreState(side, saved) != kResultOk || !a.SaveState(side, &again)) continue;
        if (again != saved) report.Finding(std::string(side.name) + " state changed on restoring it into itself");
        if (b.RestoreState(side, saved) != kResultOk || !b.SaveState(side, &copied)) continue;
        if (copied != saved) report.Finding(std::string(side.name) + " state changed on restoring it elsewhere");
        if (c.RestoreState(side, copied) != kResultOk || !c.SaveState(side, &copiedAgain)) continue;
        if (copiedAgain != saved) report.Finding(std::string(side.name) + " state changed on its second transfer");
        report.stateRoundTrips.fetch_add(1, std::memory_order_relaxed);
      }
      RenderBoth(rng, setup.maxBlock, b, c, &outB, &outC);
      if (std::memcmp(outB.data(), outC.data(), outB.size() * sizeof(double)) != 0)
        report.Finding("instances restored from one state render different audio (rate " +
                       std::to_string(setup.rate) + ", block " + std::to_string(setup.maxBlock) + ")");
    }
  });
}

const Scenario kScenarios[] = {
    {"lifecycle", RunLifecycle},
    {"audio", RunAudio},
    {"roundtrip", RunRoundTrip},
    {"editor", RunEditorStress},
};

// Aborts, naming the seed, when the run makes no progress for the bound.
class Watchdog {
public:
  Watchdog(StressReport& report, const StressOptions& options)
      : mThread([this, &report, &options] { Watch(report, options); }) {}
  ~Watchdog() {
    mStop.store(true, std::memory_order_release);
    mThread.join();
  }

private:
  void Watch(StressReport& report, const StressOptions& options) {
    long last = report.progress.load(std::memory_order_relaxed);
    Clock::time_point lastChange = Clock::now();
    while (!mStop.load(std::memory_order_acquire)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      const long now = report.progress.load(std::memory_order_relaxed);
      if (now != last) {
        last = now;
        lastChange = Clock::now();
      } else if (Clock::now() - lastChange > std::chrono::duration<double>(options.hangSeconds)) {
        std::fprintf(stderr, "stress host hung for %.0f s (seed %llu)\n", options.hangSeconds,
                     static_cast<unsigned long long>(options.seed));
        std::abort();
      }
    }
  }
  std::atomic<bool> mStop{false};
  std::thread mThread;
};

}  // namespace

int main(int argc, char** argv) {
  StressOptions options;
#ifdef MORVANTE_VST3_SO
  options.plugin = MORVANTE_VST3_SO;
#endif
  if (!ParseStressOptions(argc, argv, &options)) return 2;
  std::printf("stress host: seed %llu (replay with --seed %llu), %d threads, %.1f s per scenario\n",
              static_cast<unsigned long long>(options.seed), static_cast<unsigned long long>(options.seed),
              options.threads, options.seconds);
  std::fflush(stdout);

  long findings = 0;
  bool ran = false;
  {
    PluginModule module(options.plugin.c_str());
    if (!module.Loaded()) {
      std::fprintf(stderr, "cannot load %s: %s\n", options.plugin.c_str(), module.Error().c_str());
      return 1;
    }
    for (const Scenario& scenario : kScenarios) {
      if (options.scenario != "all" && options.scenario != scenario.name) continue;
      ran = true;
      StressReport report(options.seed);
      {
        Watchdog watchdog(report, options);
        const Clock::time_point start = Clock::now();
        scenario.run(module.Factory(), options, start + std::chrono::duration_cast<Clock::duration>(
                                                            std::chrono::duration<double>(options.seconds)),
                     report);
        report.Print(scenario.name, std::chrono::duration<double>(Clock::now() - start).count());
      }
      findings += report.findings.load();
    }
  }
  if (!ran) {
    std::fprintf(stderr, "no scenario named %s\n", options.scenario.c_str());
    return 2;
  }
#if defined(__SANITIZE_ADDRESS__)
  // Every instance is gone and the module unloaded: whatever it allocated
  // and did not free is now unreachable.
  if (void* still = dlopen(options.plugin.c_str(), RTLD_NOW | RTLD_NOLOAD)) {
    dlclose(still);
    std::fprintf(stderr, "stress finding (seed %llu): the module stayed loaded after its last release\n",
                 static_cast<unsigned long long>(options.seed));
    ++findings;
  } else if (__lsan_do_recoverable_leak_check()) {
    std::fprintf(stderr, "stress finding (seed %llu): memory leaked once the module was unloaded\n",
                 static_cast<unsigned long long>(options.seed));
    ++findings;
  }
#endif
  return findings ? 1 : 0;
}
