// A failed row of the file list shows the system's reason as its tip.
#pragma once

#include <cstdint>
#include <string>

class FileRows;
class VirtualListViewControl;

// The system's reason for the row's last failure, empty when it did not fail.
std::wstring FailureReasonOfRow(const FileRows& rows, int32_t row);
// Makes the file list show a failed row's reason as the row's tip (the list asks the main
// list for it with LVN_GETINFOTIP).
void ShowFailureReasonsAsTips(VirtualListViewControl& list, const FileRows& rows);
