// The network adjustment alone on a synthetic grid: about NODES nodes in a square grid of 50 m
// cells, a few hundred common points over it with a smooth distortion and millimetre noise,
// the inputs laid out as the steps before the adjustment leave them. Prints the time of the
// adjustment and of its stages, and the peak memory of the process.
//
//   velmora-network-bench [NODES [POINTS]]        (defaults 15000 and 300)
#include "building/NetworkAdjustment.h"

#include "building/NetworkTestSupport.h"

#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

double PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace velmora;
    const long nodesWanted = argc > 1 ? std::atol(argv[1]) : 15000;
    const int pointCount = argc > 2 ? std::atoi(argv[2]) : 300;
    if (nodesWanted < 25 || pointCount < 4) {
        std::fprintf(stderr, "usage: velmora-network-bench [NODES >= 25 [POINTS >= 4]]\n");
        return 2;
    }
    const int side = static_cast<int>(std::lround(std::sqrt(static_cast<double>(nodesWanted))));
    const GridFrame frame = test::MakeFrame(500000.0, 300000.0, 50.0, side - 1, side - 1);

    std::mt19937 random(13);
    std::uniform_real_distribution<double> east(frame.minE, frame.maxE);
    std::uniform_real_distribution<double> north(frame.minN, frame.maxN);
    std::normal_distribution<double> noise(0.0, 0.002);
    std::vector<PointRecord> points;
    for (int k = 0; k < pointCount; ++k) {
        const double e = east(random);
        const double n = north(random);
        const double u = (e - frame.minE) / (frame.maxE - frame.minE);
        const double v = (n - frame.minN) / (frame.maxN - frame.minN);
        points.push_back(test::CommonPoint("P", e, n, 0.05 * std::sin(3.0 * u) * v + noise(random),
                                           0.03 * std::cos(2.0 * v) - 0.02 * u + noise(random)));
    }
    test::NetworkRun net(frame, points);

    std::vector<std::pair<std::uint64_t, Clock::time_point>> stages;
    net.run.progress = [&stages](std::uint64_t done, std::uint64_t) {
        if (stages.empty() || stages.back().first != done) {
            stages.emplace_back(done, Clock::now());
        }
    };
    const Clock::time_point start = Clock::now();
    AdjustDistortionNetwork(net.run);
    const Clock::time_point end = Clock::now();

    const auto at = [&stages, start](std::uint64_t done) {
        for (const auto& stage : stages) {
            if (stage.first >= done) {
                return stage.second;
            }
        }
        return start;
    };
    std::printf("network adjustment: %lld nodes (%d x %d), %d common points\n",
                static_cast<long long>(frame.NodeCount()), side, side, pointCount);
    std::printf("  equations and factorization %.2f s, selected inversion %.2f s, solves %.2f s, files %.2f s\n",
                Seconds(start, at(20)), Seconds(at(20), at(80)), Seconds(at(80), at(90)), Seconds(at(90), end));
    std::printf("  total %.2f s, peak memory %.1f MB\n", Seconds(start, end), PeakMegabytes());
    return 0;
}
