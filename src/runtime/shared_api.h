// Marks what the library shares with the modules it loads (they link against the library and use its
// routine table, values and window modules); everything else in the library stays hidden.
#pragma once

#define DOT11B_SHARED __attribute__((visibility("default")))
