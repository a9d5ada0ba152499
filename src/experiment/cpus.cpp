#include "experiment/cpus.h"

#include <sched.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

// CPUs in the affinity mask; 0 when it cannot be had. The mask is asked for in ever larger sets,
// since a machine may have more CPUs than a cpu_set_t holds.
static uint64_t affinityCpus() {
    for (int cpus = CPU_SETSIZE; cpus <= (1 << 20); cpus *= 2) {
        cpu_set_t* set = CPU_ALLOC(cpus);
        if (set == nullptr) {
            return 0;
        }
        const size_t size = CPU_ALLOC_SIZE(cpus);
        const bool got = sched_getaffinity(0, size, set) == 0;
        const int count = got ? CPU_COUNT_S(size, set) : 0;
        CPU_FREE(set);
        if (got || errno != EINVAL) {
            return static_cast<uint64_t>(count);
        }
    }
    return 0;
}

// The quota in whole CPUs, rounded up: cpu.max holds "QUOTA PERIOD", or "max PERIOD" when there
// is none (0 then, as when there is no such file).
static uint64_t quotaCpus() {
    std::FILE* file = std::fopen("/sys/fs/cgroup/cpu.max", "r");
    if (file == nullptr) {
        return 0;
    }
    unsigned long long quota = 0;
    unsigned long long period = 0;
    const bool limited = std::fscanf(file, "%llu %llu", &quota, &period) == 2 && period > 0;
    std::fclose(file);
    return limited ? (quota + period - 1) / period : 0;
}

uint64_t usableCpus() {
    const uint64_t affinity = affinityCpus();
    const uint64_t quota = quotaCpus();
    const uint64_t cpus =
        affinity == 0 || quota == 0 ? std::max(affinity, quota) : std::min(affinity, quota);
    return std::max<uint64_t>(cpus, 1);
}
