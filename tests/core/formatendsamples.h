#pragma once
// What the format-end suites read: media in memory and the real sample files.
#include "doubles/memorymedium.h"
#include "doubles/samplefiles.h"
