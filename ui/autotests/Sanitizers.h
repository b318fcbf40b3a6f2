// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTest>

// MORVANTA_ADDRESS_SANITIZER is 1 in a build under AddressSanitizer, else 0. GCC says so with
// __SANITIZE_ADDRESS__; clang 14 defines no such macro and answers __has_feature instead, so a
// test that checked GCC's macro alone would run, and fail, under clang's sanitizer.
#if defined(__SANITIZE_ADDRESS__)
#define MORVANTA_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MORVANTA_ADDRESS_SANITIZER 1
#endif
#endif
#ifndef MORVANTA_ADDRESS_SANITIZER
#define MORVANTA_ADDRESS_SANITIZER 0
#endif

// Skips the test function, saying why, where AddressSanitizer would make it meaningless, e.g.
//   MORVANTA_SKIP_UNDER_ADDRESS_SANITIZER("AddressSanitizer reserves the address space capped");
// A plain statement rather than an #if, so that a file that lacks this header does not build.
#define MORVANTA_SKIP_UNDER_ADDRESS_SANITIZER(why) \
    if (MORVANTA_ADDRESS_SANITIZER)                \
    QSKIP(why)
