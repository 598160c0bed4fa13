// Copying or moving the current file of the file list by a rule.
#pragma once

#include <cstdint>

// Carries out rule row `ruleRow` on the file list's current row: copies (never over an
// existing file) or moves the file into the rule's target directory under its own name,
// and reports the operation and its result in the row.
void ApplyRule(int32_t ruleRow);
