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

    // Workloads are named "Family/Format/Mode/ours" beside ".../sdl" or ".../memcpy": one
    // row per family and mode, one column per format, each ours / reference.
    void PrintRatios() const
    {
        const char* const formats[] = {"ARGB8888", "RGB565", "RGB555"};
        std::map<std::string, std::map<std::string, double>> rows[2];
        const char* const references[] = {"sdl", "memcpy"};
        for (const auto& [name, rate] : mRates) {
            const size_t ours = name.rfind("/ours");
            const size_t first = name.find('/');
            const size_t second = name.find('/', first + 1);
            if (ours == std::string::npos || second == std::string::npos || second >= ours) {
                continue;
            }
            const std::string format = name.substr(first + 1, second - first - 1);
            const std::string row = name.substr(0, first) + name.substr(second, ours - second);
            for (int r = 0; r < 2; ++r) {
                auto other = mRates.find(name.substr(0, ours) + "/" + references[r]);
                if (other != mRates.end() && other->second > 0) {
                    rows[r][row][format] = rate / other->second;
                }
            }
        }
        for (int r = 0; r < 2; ++r) {
            std::printf(
                "\nThroughput ratio, ours / %s on the same work (above 1: ours is faster; * below 1.5)\n",
                r == 0 ? "SDL's software renderer" : "memcpy");
            std::printf("  %-36s %10s %10s %10s\n", "family / mode", formats[0], formats[1], formats[2]);
            for (const auto& [row, columns] : rows[r]) {
                std::printf("  %-36s", row.c_str());
                for (const char* format : formats) {
                    auto found = columns.find(format);
                    if (found == columns.end()) {
                        std::printf(" %10s", "-");
                    } else {
                        std::printf(" %9.2f%s", found->second, found->second < 1.5 && r == 0 ? "*" : " ");
                    }
                }
                std::printf("\n");
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
