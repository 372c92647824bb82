#pragma once
// A dialog's report-style list view filled from the core's columns and rows (GBK).

#include <windows.h>

#include <vector>

#include "ports/window_layer.h"

namespace lumio::win {

// Columns sized in the dialog's units, whole-row selection.
void SetTableColumns(HWND dialog, HWND list, const std::vector<TableColumn>& columns);
// Replaces every row.
void SetTableRows(HWND list, const std::vector<TableRow>& rows);
// The selected row; -1 when none.
int32_t SelectedTableRow(HWND list);

}  // namespace lumio::win
