#pragma once
// Benchmarks report a ratio against a baseline measured in the same run,
// because absolute times drift on shared machines.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

/** Shows the usual table and keeps each benchmark's time: the median when
 *  repetitions are asked for, else the single run. The time is the real
 *  time, or the CPU time when asked for (it depends less on what else the
 *  machine runs). */
class TRatioReporter : public benchmark::ConsoleReporter {
public:
  explicit TRatioReporter(bool cpuTime = false) : FCpuTime(cpuTime) {}
  void ReportRuns(const std::vector<Run>& reports) override {
    for (const Run& run : reports) {
      if (run.error_occurred) continue;
      const std::string& name = run.run_name.function_name;
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
        FMedians[name] = TimeOf(run);
      else if (run.run_type == Run::RT_Iteration)
        FTimes[name] = TimeOf(run);
    }
    ConsoleReporter::ReportRuns(reports);
  }

  double Time(const std::string& name) const {
    if (auto found = FMedians.find(name); found != FMedians.end()) return found->second;
    if (auto found = FTimes.find(name); found != FTimes.end()) return found->second;
    return 0;
  }

  /** Prints "ratio <label>: X" for ours / baseline when both ran. */
  void PrintRatio(const char* label, const std::string& ours, const std::string& baseline) const {
    const double a = Time(ours), b = Time(baseline);
    if (a > 0 && b > 0) std::printf("ratio %s: %.2f\n", label, a / b);
  }

private:
  double TimeOf(const Run& run) const { return FCpuTime ? run.GetAdjustedCPUTime() : run.GetAdjustedRealTime(); }
  bool FCpuTime;
  std::map<std::string, double> FTimes;
  std::map<std::string, double> FMedians;
};
