// Copying or moving the selected files of the file list by a rule.
#pragma once

#include <cstdint>

struct Application;
struct Rule;

// Carries out `rule` on every selected row of the file list, in list order, each as
// ApplyRuleToRow does. With no selected row nothing happens. A rule whose operation is
// invalid touches no row and says so in a box.
void ApplyRuleToSelectedRows(Application& app, const Rule& rule);

// Queues `rule` for file list row `row`: a copy (never over an existing file) or move of
// the file into the rule's target directory under its own name, carried out in the
// background; the row follows it and reports the result. A rule whose operation is invalid
// queues nothing.
void ApplyRuleToRow(Application& app, const Rule& rule, int32_t row);
