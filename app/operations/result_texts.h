// The one table of the texts the file list and the journal show for an operation and
// for its result.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/files/file_rows.h"
#include "app/operations/operation_queue.h"

// "复制文件", "移动文件", "撤销复制" or "撤销移动"; "" for no operation.
std::wstring_view OperationName(OperationKind kind);
std::wstring_view OperationName(RowOperation operation);

// The result column's state once an operation of that kind ended so.
RowResult ResultOf(OperationKind kind, OperationOutcome outcome);

// The result column's text: "复制中 37%" or "移动中 37%" while it runs (by the row's
// operation), "" for no result.
std::wstring ResultText(RowResult result, RowOperation operation = RowOperation::kNone,
                        int32_t percent = 0);
