#include "win/task_dialog.h"

#include <commctrl.h>

#include <iterator>

#include "text/program_name.h"
#include "text/wide_text.h"
#include "win/dialog_placement.h"
#include "win/dialog_table.h"
#include "win/resource.h"
#include "win/win_conversions.h"

namespace lumio::win {
namespace {

// A task that runs once leaves the list when it has run, also while the dialog is open.
constexpr UINT_PTR kRowsTimer = 1;
constexpr UINT kRowsRefreshMs = 1000;

constexpr int kDayIds[] = {IDC_TASK_DAY1, IDC_TASK_DAY2, IDC_TASK_DAY3, IDC_TASK_DAY4,
                           IDC_TASK_DAY5, IDC_TASK_DAY6, IDC_TASK_DAY7};

}  // namespace

void CTaskDlg::DoModal(HINSTANCE instance, HWND owner) {
  DialogBoxParamW(instance, ResourceId(IDD_TASKS), owner, DialogProc,
                  reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CTaskDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    reinterpret_cast<CTaskDlg*>(lParam)->m_hwnd = dialog;
  }
  auto* self = reinterpret_cast<CTaskDlg*>(GetWindowLongPtrW(dialog, DWLP_USER));
  return self != nullptr ? self->OnMessage(message, wParam, lParam) : FALSE;
}

INT_PTR CTaskDlg::OnMessage(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog();
      return TRUE;
    case WM_TIMER:
      if (wParam == kRowsTimer) ShowRows();
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_TASK_ADD:
          Show(m_model.Add(Fields()));
          return TRUE;
        case IDC_TASK_REMOVE:
          Show(m_model.Remove(SelectedTableRow(GetDlgItem(m_hwnd, IDC_TASK_LIST))));
          return TRUE;
        case IDC_TASK_PLAY:
        case IDC_TASK_RECORD:
          EnableWindow(GetDlgItem(m_hwnd, IDC_TASK_MINUTES),
                       IsDlgButtonChecked(m_hwnd, IDC_TASK_RECORD) == BST_CHECKED);
          return TRUE;
        case IDCANCEL:
          KillTimer(m_hwnd, kRowsTimer);
          EndDialog(m_hwnd, IDCANCEL);
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}

void CTaskDlg::OnInitDialog() {
  CentreOverOwner(m_hwnd);
  SetTableColumns(m_hwnd, GetDlgItem(m_hwnd, IDC_TASK_LIST), m_model.Columns());
  HWND stations = GetDlgItem(m_hwnd, IDC_TASK_STATION);
  for (const std::string& name : m_model.Stations())
    SendMessageW(stations, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(GbkToWide(name).c_str()));

  const TaskFields defaults = m_model.Defaults();
  CheckRadioButton(m_hwnd, IDC_TASK_PLAY, IDC_TASK_RECORD,
                   defaults.record ? IDC_TASK_RECORD : IDC_TASK_PLAY);
  SetDlgItemTextW(m_hwnd, IDC_TASK_MINUTES, GbkToWide(defaults.minutes).c_str());
  EnableWindow(GetDlgItem(m_hwnd, IDC_TASK_MINUTES), defaults.record);
  SetDlgItemTextW(m_hwnd, IDC_TASK_TIME, GbkToWide(defaults.time).c_str());
  for (size_t day = 0; day < std::size(kDayIds); ++day) {
    CheckDlgButton(m_hwnd, kDayIds[day],
                   (defaults.weekdays & (1u << day)) != 0 ? BST_CHECKED : BST_UNCHECKED);
  }
  SendMessageW(stations, CB_SETCURSEL, static_cast<WPARAM>(defaults.station), 0);
  ShowRows();
  SetTimer(m_hwnd, kRowsTimer, kRowsRefreshMs, nullptr);
}

void CTaskDlg::ShowRows() {
  std::vector<TableRow> rows = m_model.Rows();
  if (rows == m_rows) return;
  HWND list = GetDlgItem(m_hwnd, IDC_TASK_LIST);
  const int32_t selected = SelectedTableRow(list);
  SetTableRows(list, rows);
  // The selection stays only where the rows stayed what they were.
  if (selected >= 0 && static_cast<size_t>(selected) < rows.size() &&
      static_cast<size_t>(selected) < m_rows.size() &&
      rows[static_cast<size_t>(selected)] == m_rows[static_cast<size_t>(selected)]) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(selected),
                 reinterpret_cast<LPARAM>(&state));
  }
  m_rows = std::move(rows);
}

void CTaskDlg::Show(const TaskDialogOutcome& outcome) {
  if (outcome.changed) ShowRows();
  // Owned by the dialog, not the main window: a box re-enables its owner as it closes, and the
  // main window must stay disabled while this dialog runs.
  if (!outcome.message.empty()) {
    MessageBoxW(m_hwnd, GbkToWide(outcome.message).c_str(), GbkToWide(ProgramName()).c_str(),
                MB_OK | MB_ICONWARNING);
  }
}

std::string CTaskDlg::Text(int32_t id) const {
  HWND control = GetDlgItem(m_hwnd, id);
  const int length = control != nullptr ? GetWindowTextLengthW(control) : 0;
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(control, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  // A character GBK lacks makes no time and no number: the model refuses it as it stands.
  std::string gbk;
  if (!WideToGbk(text, gbk)) return "?";
  return gbk;
}

TaskFields CTaskDlg::Fields() const {
  TaskFields fields;
  fields.record = IsDlgButtonChecked(m_hwnd, IDC_TASK_RECORD) == BST_CHECKED;
  fields.minutes = Text(IDC_TASK_MINUTES);
  fields.time = Text(IDC_TASK_TIME);
  for (size_t day = 0; day < std::size(kDayIds); ++day) {
    if (IsDlgButtonChecked(m_hwnd, kDayIds[day]) == BST_CHECKED)
      fields.weekdays = static_cast<uint8_t>(fields.weekdays | 1u << day);
  }
  fields.station =
      static_cast<int32_t>(SendMessageW(GetDlgItem(m_hwnd, IDC_TASK_STATION), CB_GETCURSEL, 0, 0));
  return fields;
}

}  // namespace lumio::win
