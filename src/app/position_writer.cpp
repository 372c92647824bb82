#include "app/position_writer.h"

namespace lumio {

PositionWriter::PositionWriter(WindowLayer& window, std::function<void(int32_t, int32_t)> write)
    : m_window(window), m_write(std::move(write)) {}

void PositionWriter::WriteSoon(int32_t x, int32_t y) {
  m_x = x;
  m_y = y;
  if (m_pending) return;  // the armed timer writes the newest place
  m_pending = true;
  m_window.SetTimer(kTimerSavePosition, kPositionWriteMs);
}

void PositionWriter::WriteNow(int32_t x, int32_t y) {
  if (m_pending) {
    m_pending = false;
    m_window.KillTimer(kTimerSavePosition);
  }
  m_write(x, y);
}

void PositionWriter::Flush() {
  if (!m_pending) return;
  WriteNow(m_x, m_y);
}

}  // namespace lumio
