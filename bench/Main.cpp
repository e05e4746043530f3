// Runs every workload twice, through our rasterisers and through SDL's software renderer
// (or memcpy for the plain copy), then prints our throughput divided by theirs.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            auto rate = run.counters.find("items_per_second");
            if (run.run_type == Run::RT_Iteration && rate != run.counters.end()) {
                mRates[run.benchmark_name()] = rate->second.value;
            }
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
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
