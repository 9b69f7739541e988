#pragma once
// The block of text on the "Find dups" page that tells which method and
// restrictions the next run will use.

#include <string>

#include "compare.h"

/// Four to seven lines, the last without a line break. Any thread.
std::string SettingsSummaryText(const FindSettings& settings);
