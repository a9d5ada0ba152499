// The 22 values the page's next run takes, as its form and parameter files set them.
#pragma once

#include <cstdint>

int32_t* pageValues();
