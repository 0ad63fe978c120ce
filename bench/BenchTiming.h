#pragma once
// Timing shared by the benchmarks that print their own summary: processor
// time of this thread (the machine is shared, and wall time there measures
// the neighbours as much as us) and the least time seen under each name.

#include <ctime>
#include <functional>
#include <map>
#include <string>

namespace BenchTiming {

inline double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

inline double Seconds(const std::function<void()>& f) {
    const double start = ThreadSeconds();
    f();
    return ThreadSeconds() - start;
}

// Keeps the least of the times recorded under one name.
inline void Best(std::map<std::string, double>& Results, const std::string& name, double seconds) {
    const auto it = Results.find(name);
    if (it == Results.end() || seconds < it->second) Results[name] = seconds;
}

} // namespace BenchTiming
