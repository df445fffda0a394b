// The lines of the title screen's statistics panel, made from the
// statistics record as it stood when the front end was entered.
#pragma once

#include "lib/String.h"

#include <vector>

struct Statistics;
class TimeSpan;

// The thirteen lines in the panel's order, blank lines included.
std::vector<String> statisticsLines(const Statistics& stats);

// A duration line: "<label> = %ld days and %02ld:%02ld:%02ld" from one
// whole day on, "<label> = %02ld:%02ld:%02ld" below it.
String durationLine(const char* label, const TimeSpan& span);
