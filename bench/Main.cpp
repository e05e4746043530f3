// Runs every workload twice, through our rasterisers and through SDL's software renderer
// (or memcpy for the plain copy), then prints our throughput divided by theirs.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

class RatioReporter : public benchmark::ConsoleReporter
{
  public:
    // With repetitions only the medians are shown and compared: the machine may be busy
    // with other work, and a median shrugs off a disturbed run.
    void ReportRuns(const std::vector<Run>& runs) override
    {
        std::vector<Run> shown;
        for (const Run& run : runs) {
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (!single && !median) {
                continue;
            }
            shown.push_back(run);
            auto rate = run.counters.find("items_per_second");
            if (rate != run.counters.end()) {
                mRates[run.run_name.str()] = rate->second.value;
            }
        }
        if (!shown.empty()) {
            ConsoleReporter::ReportRuns(shown);
        }
    }

    // Workloads are named ".../ours" beside ".../sdl" or ".../memcpy".
    void PrintRatios() const
    {
        std::printf("\nThroughput ratio, ours / reference (above 1: ours is faster)\n");
        for (const auto& [name, rate] : mRates) {
            const size_t slash = name.rfind("/ours");
            if (slash == std::string::npos) {
                continue;
            }
            const std::string workload = name.substr(0, slash);
            for (const char* reference : {"sdl", "memcpy"}) {
                auto other = mRates.find(workload + "/" + reference);
                if (other != mRates.end() && other->second > 0) {
                    std::printf("  %-44s vs %-6s %6.2f\n", workload.c_str(), reference, rate / other->second);
                }
            }
        }
    }

  private:
    std::map<std::string, double> mRates;
};

} // namespace

int main(int argc, char** argv)
{
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    // Without arguments every workload runs three times and the medians count.
    std::vector<char*> args(argv, argv + argc);
    char repetitions[] = "--benchmark_repetitions=3";
    char minTime[] = "--benchmark_min_time=0.1";
    if (argc == 1) {
        args.push_back(repetitions);
        args.push_back(minTime);
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
