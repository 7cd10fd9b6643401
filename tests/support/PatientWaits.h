#pragma once

// Included into every test before its own includes. QtTest's polling waits give up after 5 s,
// which a sanitizer build on a loaded machine can need just to start the service and answer an
// upload; such a machine has been seen to take 27 times as long as a quiet one. A wait that
// succeeds returns as soon as it does, so a longer limit costs a passing test nothing; it only
// lets a slow machine finish what a fast one does.
#include <QtTest/qtestcase.h>

#ifndef VORLANE_PATIENT_WAIT_MS
#define VORLANE_PATIENT_WAIT_MS 60000
#endif

#undef QTRY_VERIFY
#define QTRY_VERIFY(expr) QTRY_VERIFY_WITH_TIMEOUT((expr), VORLANE_PATIENT_WAIT_MS)
#undef QTRY_VERIFY2
#define QTRY_VERIFY2(expr, messageExpression)                                                                          \
    QTRY_VERIFY2_WITH_TIMEOUT((expr), (messageExpression), VORLANE_PATIENT_WAIT_MS)
#undef QTRY_COMPARE
#define QTRY_COMPARE(expr, expected) QTRY_COMPARE_WITH_TIMEOUT((expr), (expected), VORLANE_PATIENT_WAIT_MS)
