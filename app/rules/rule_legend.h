// The key legend's entries: what each rule does, as one short line.
#pragma once

#include <string>
#include <vector>

#include "app/rules/rule.h"

// "1 → 精选 (复制)": the key, the last part of the target folder and the operation.
std::wstring LegendEntry(const Rule& rule);
std::vector<std::wstring> LegendEntries(const std::vector<Rule>& rules);
