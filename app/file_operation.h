// Copying or moving the selected files of the file list by a rule.
#pragma once

#include <cstdint>

// Carries out rule row `ruleRow` on every selected row of the file list, in list order,
// each as ApplyRuleToRow does. With no selected row nothing happens.
void ApplyRuleToSelectedRows(int32_t ruleRow);

// Carries out rule row `ruleRow` on file list row `row`: copies (never over an existing
// file) or moves the file into the rule's target directory under its own name, and
// reports the operation and its result in the row.
void ApplyRuleToRow(int32_t ruleRow, int32_t row);
