#pragma once
// The 歌曲记录 dialog: the songs heard in a read-only list, 复制 that puts them on the clipboard
// as text, and 关闭.

#include <QDialog>

#include "ports/window_layer.h"

namespace lumio {

class CSongHistoryDlg : public QDialog {
  Q_OBJECT

 public:
  CSongHistoryDlg(QWidget* parent, const SongHistoryTable& table);
};

}  // namespace lumio
