#pragma once
// One program per config folder. The first start holds a local socket named after the folder
// (in the abstract namespace: nothing on disk, gone with the process); a later start with the
// same folder finds it, asks that program to show its window and ends. Needs no session bus.

#include <QObject>
#include <memory>
#include <string>

class QSocketNotifier;

namespace lumio {

class SingleInstance final : public QObject {
  Q_OBJECT

 public:
  enum class Claim {
    kFirst,        // this program holds the folder
    kOtherAsked,   // another program holds it and was asked to show its window
    kUnavailable,  // no socket could be had: run without the guard
  };

  // Claims `configFolder`. Touches no file and needs no QCoreApplication, so that a second start
  // ends before it has done anything.
  explicit SingleInstance(const std::string& configFolder);
  ~SingleInstance() override;
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  Claim claim() const { return m_claim; }

  // From now on a later start's request emits showRequested; needs the QCoreApplication.
  void Serve();
  // Gives the folder up while the program is ending: a later start then starts anew rather
  // than asking a window that is going away.
  void Release();

 signals:
  void showRequested();

 private:
  void Accept();

  Claim m_claim = Claim::kUnavailable;
  int m_fd = -1;
  std::unique_ptr<QSocketNotifier> m_notifier;
};

}  // namespace lumio
