// Parameter automation read from a text file, and the queue points a host
// hands the plug-in for each block. The plug-in holds a point's value from
// its own sample on and merges pieces shorter than kRampStep samples into
// the next, so every breakpoint is sent at its own sample and a ramp as a
// staircase of points every kRampStep frames of the timeline, leaving out
// those that would fall less than kRampStep before any breakpoint.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/vst3_host/param_changes.h"

struct AutomationLane {
  Steinberg::Vst::ParamID id = 0;
  // (frame, normalised value), sorted by frame; several at one frame make a
  // step and the last of them holds from that frame.
  std::vector<std::pair<long, double>> points;
  // Before the first point its value, after the last the last one's,
  // linear between them.
  double ValueAt(long frame) const;
  // Whether frame lies strictly between two points of different values.
  bool RampsAt(long frame) const;
};

class Automation {
public:
  static constexpr long kRampStep = 16;

  // Resolves "parameter=value" into a parameter id and normalised value.
  using Resolver = std::function<bool(const std::string& assignment, Steinberg::Vst::ParamID& id,
                                      double& normalized, std::string& error)>;

  // Lines of "time parameter value": time in seconds, the parameter by
  // title (spaces allowed) or id, the value as for --set. Blank lines and
  // lines starting with # are skipped.
  bool Parse(const std::string& text, const std::string& fileName, double sampleRate, const Resolver& resolve,
             std::string& error);
  bool Empty() const { return mLanes.empty(); }
  const std::vector<AutomationLane>& Lanes() const { return mLanes; }
  // Adds the points for the block of n frames starting at frame pos of the
  // automation's timeline (negative before it starts); the first block of a
  // render also sends every lane's starting value.
  void AddPoints(long pos, int n, bool firstBlock, ParamChanges& changes) const;
  // The length of the block from frame pos, at most n: a block ends just
  // before a breakpoint that would otherwise fall into its first kRampStep
  // frames (and merge with its start), so that the next one starts on it.
  int BlockLength(long pos, int n) const;

private:
  // A step of a ramp at frame, unless a breakpoint follows too soon.
  bool RampPointFits(long frame) const;

  std::vector<AutomationLane> mLanes;
  // Every lane's breakpoint frames, sorted.
  std::vector<long> mBreakpoints;
};
