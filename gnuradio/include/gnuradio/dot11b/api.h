// SPDX-License-Identifier: GPL-3.0-or-later
// What the module's library exports: its blocks' classes and their make functions.
#pragma once

#include <gnuradio/attributes.h>

#ifdef gnuradio_dot11b_EXPORTS
#define DOT11B_API __GR_ATTR_EXPORT
#else
#define DOT11B_API __GR_ATTR_IMPORT
#endif
