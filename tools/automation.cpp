#include "tools/automation.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

using Steinberg::Vst::ParamID;

double AutomationLane::ValueAt(long frame) const {
  if (points.empty()) return 0.0;
  // The first point after frame.
  const auto next = std::upper_bound(points.begin(), points.end(), frame,
                                     [](long f, const std::pair<long, double>& p) { return f < p.first; });
  if (next == points.begin()) return points.front().second;
  const auto prev = next - 1;
  if (next == points.end() || prev->first == frame) return prev->second;
  const double t = static_cast<double>(frame - prev->first) / static_cast<double>(next->first - prev->first);
  return prev->second + t * (next->second - prev->second);
}

bool AutomationLane::RampsAt(long frame) const {
  const auto next = std::upper_bound(points.begin(), points.end(), frame,
                                     [](long f, const std::pair<long, double>& p) { return f < p.first; });
  if (next == points.begin() || next == points.end()) return false;
  const auto prev = next - 1;
  return prev->first < frame && prev->second != next->second;
}

bool Automation::Parse(const std::string& text, const std::string& fileName, double sampleRate,
                       const Resolver& resolve, std::string& error) {
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string where = "automation file '" + fileName + "' line " + std::to_string(number) + ": ";
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    const size_t timeEnd = line.find_first_of(" \t", first);
    const size_t last = line.find_last_not_of(" \t");
    const size_t valueStart = line.find_last_of(" \t", last) + 1;
    if (timeEnd == std::string::npos || valueStart <= timeEnd) {
      error = where + "expected \"time parameter value\", got \"" + line.substr(first) + "\"";
      return false;
    }
    const std::string timeText = line.substr(first, timeEnd - first);
    const size_t nameStart = line.find_first_not_of(" \t", timeEnd);
    const size_t nameEnd = line.find_last_not_of(" \t", valueStart - 1);
    if (nameStart >= valueStart) {
      error = where + "expected \"time parameter value\", got \"" + line.substr(first) + "\"";
      return false;
    }
    const std::string name = line.substr(nameStart, nameEnd - nameStart + 1);
    const std::string value = line.substr(valueStart, last - valueStart + 1);

    char* end = nullptr;
    errno = 0;
    const double seconds = std::strtod(timeText.c_str(), &end);
    if (*end != '\0' || errno == ERANGE || !std::isfinite(seconds) || seconds < 0.0 || seconds > 1e7) {
      error = where + "bad time \"" + timeText + "\": expected seconds from 0";
      return false;
    }
    ParamID id = 0;
    double normalized = 0.0;
    std::string why;
    if (!resolve(name + "=" + value, id, normalized, why)) {
      error = where + why;
      return false;
    }
    auto lane = std::find_if(mLanes.begin(), mLanes.end(), [id](const AutomationLane& l) { return l.id == id; });
    if (lane == mLanes.end()) {
      mLanes.push_back(AutomationLane{id, {}});
      lane = mLanes.end() - 1;
    }
    lane->points.emplace_back(std::lround(seconds * sampleRate), normalized);
  }
  // Stable: points at one frame keep the file's order.
  for (AutomationLane& lane : mLanes) {
    std::stable_sort(lane.points.begin(), lane.points.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& point : lane.points) mBreakpoints.push_back(point.first);
  }
  std::sort(mBreakpoints.begin(), mBreakpoints.end());
  return true;
}

bool Automation::RampPointFits(long frame) const {
  const auto next = std::upper_bound(mBreakpoints.begin(), mBreakpoints.end(), frame);
  return next == mBreakpoints.end() || *next - frame >= kRampStep;
}

int Automation::BlockLength(long pos, int n) const {
  const auto next = std::upper_bound(mBreakpoints.begin(), mBreakpoints.end(), pos);
  if (next == mBreakpoints.end() || *next - pos >= std::min<long>(n, kRampStep)) return n;
  return static_cast<int>(*next - pos);
}

void Automation::AddPoints(long pos, int n, bool firstBlock, ParamChanges& changes) const {
  const long end = pos + n;
  // The first ramp step at or after pos on the timeline's grid.
  const long firstStep = pos + ((kRampStep - pos % kRampStep) % kRampStep);
  for (const AutomationLane& lane : mLanes) {
    std::vector<long> offsets;
    if (firstBlock) offsets.push_back(0);
    for (const auto& point : lane.points)
      if (point.first >= pos && point.first < end) offsets.push_back(point.first - pos);
    for (long frame = firstStep; frame < end; frame += kRampStep)
      if (lane.RampsAt(frame) && RampPointFits(frame)) offsets.push_back(frame - pos);
    std::sort(offsets.begin(), offsets.end());
    offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
    for (long offset : offsets)
      changes.Add(lane.id, lane.ValueAt(pos + offset), static_cast<Steinberg::int32>(offset));
  }
}
