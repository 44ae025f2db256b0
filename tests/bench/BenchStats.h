#pragma once
// What every benchmark prints: variants are measured side by side (interleaved per frame or per
// step, so that a busy neighbour on the machine slows them alike), each round yields one ratio
// per variant against the base, and a ratio is reported as its min, median and max over the
// rounds.
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace ztbench {

inline double Median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : 0.5 * (values[middle - 1] + values[middle]);
}

// Seconds of CPU this thread has used: fair where the work is all ours (physics, the engine's
// own part of a frame), blind to the GL driver's worker threads.
inline double ThreadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

// Seconds of CPU the whole process has used, every thread's: the work a software GL driver does
// on its worker threads, which a busy machine stretches in wall time but not in CPU time.
inline double ProcessCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

inline double WallSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// One line per variant: its ratio to the base over the rounds.
class RatioTable {
public:
    explicit RatioTable(std::vector<std::string> names) : m_names(std::move(names)), m_ratios(m_names.size()) {}

    void AddRound(const std::vector<double>& ratios)
    {
        for (size_t i = 0; i < m_ratios.size() && i < ratios.size(); ++i)
            m_ratios[i].push_back(ratios[i]);
    }

    double MedianOf(size_t variant) const { return Median(m_ratios.at(variant)); }

    void Print(const char* title) const
    {
        std::printf("%s (%zu rounds)\n", title, m_ratios.empty() ? size_t{0} : m_ratios.front().size());
        std::printf("  %-34s %8s %8s %8s\n", "variant", "min", "median", "max");
        for (size_t i = 0; i < m_names.size(); ++i) {
            const std::vector<double>& r = m_ratios[i];
            if (r.empty())
                continue;
            std::printf("  %-34s %8.3f %8.3f %8.3f\n", m_names[i].c_str(), *std::min_element(r.begin(), r.end()),
                        Median(r), *std::max_element(r.begin(), r.end()));
        }
        std::fflush(stdout);
    }

private:
    std::vector<std::string> m_names;
    std::vector<std::vector<double>> m_ratios;
};

}  // namespace ztbench
