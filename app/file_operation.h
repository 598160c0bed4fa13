// Copying or moving the current file of the file list by a rule.
#pragma once

#include <cstdint>

// Queues rule row `ruleRow` for the file list's current row: a copy (never over an
// existing file) or move of the file into the rule's target directory under its own name,
// carried out in the background; the row follows it and reports the result.
void ApplyRule(int32_t ruleRow);
