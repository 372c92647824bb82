#include "win/dialog_table.h"

#include <commctrl.h>

#include <string>

#include "text/wide_text.h"

namespace lumio::win {

void SetTableColumns(HWND dialog, HWND list, const std::vector<TableColumn>& columns) {
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
  for (size_t i = 0; i < columns.size(); ++i) {
    RECT units{0, 0, columns[i].width, 8};
    MapDialogRect(dialog, &units);
    std::wstring heading = GbkToWide(columns[i].heading);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = units.right;
    column.pszText = heading.data();
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i),
                 reinterpret_cast<LPARAM>(&column));
  }
}

void SetTableRows(HWND list, const std::vector<TableRow>& rows) {
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  for (size_t row = 0; row < rows.size(); ++row) {
    for (size_t cell = 0; cell < rows[row].size(); ++cell) {
      std::wstring text = GbkToWide(rows[row][cell]);
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(row);
      item.iSubItem = static_cast<int>(cell);
      item.pszText = text.data();
      if (cell == 0) {
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
      } else {
        SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
      }
    }
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

int32_t SelectedTableRow(HWND list) {
  return static_cast<int32_t>(
      SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
}

}  // namespace lumio::win
