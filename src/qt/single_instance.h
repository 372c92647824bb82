#pragma once
// One program per config folder. The first start holds a local socket named after the folder
// (in the abstract namespace: nothing on disk, gone with the process); a later start with the
// same folder finds it, hands that program its command (show the window, or one of the command
// line's) with the answer coming back over the same connection, and ends. Needs no session bus.

#include <QObject>
#include <functional>
#include <memory>
#include <string>

class QSocketNotifier;

namespace lumio {

class SingleInstance final : public QObject {
  Q_OBJECT

 public:
  enum class Claim {
    kFirst,        // this program holds the folder
    kOtherAsked,   // another program holds it and was handed the command: see answer()
    kUnavailable,  // no socket could be had: run without the guard
  };

  // Claims `configFolder`; when another program holds it, hands it `commandText` and waits
  // for its answer ("" only knocks: show the window, no answer awaited). Touches no file and needs
  // no QCoreApplication, so that a second start ends before it has done anything.
  SingleInstance(const std::string& configFolder, const std::string& commandText);
  ~SingleInstance() override;
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  Claim claim() const { return m_claim; }
  // With kOtherAsked: the other program's answer, as it came (empty when none came).
  const std::string& answer() const { return m_answer; }

  // From now on a later start's command text (untrusted bytes) goes to `handler`, whose answer
  // text goes back; needs the QCoreApplication.
  void Serve(std::function<std::string(const std::string& commandText)> handler);
  // Gives the folder up while the program is ending: a later start then starts anew rather
  // than asking a window that is going away.
  void Release();

 private:
  void Accept();
  void Answer(int client);

  Claim m_claim = Claim::kUnavailable;
  int m_fd = -1;
  std::string m_answer;
  std::function<std::string(const std::string&)> m_handler;
  std::unique_ptr<QSocketNotifier> m_notifier;
};

}  // namespace lumio
