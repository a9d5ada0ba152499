// How many CPUs this process may keep busy, for the number of workers a sweep starts.
#pragma once

#include <cstdint>

// The CPUs the process may run on (taskset, a batch system's CPU binding, a container's cpuset),
// fewer when a cgroup v2 quota (a container's CPU limit) gives less time than that; at least 1.
uint64_t usableCpus();
