// SPDX-License-Identifier: GPL-3.0-or-later
// Marks what the library shares with the modules it loads (they link against the library and use its
// routine table, values and window modules); everything else in the library stays hidden.
#pragma once

#ifndef DOT11B_SHARED
#define DOT11B_SHARED __attribute__((visibility("default")))
#endif

// The entry by which the library finds what a module offers.
#define DOT11B_MODULE_ENTRY __attribute__((visibility("default")))
