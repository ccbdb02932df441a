// Hands a mail to the desktop's mail program through xdg-email. The process
// runs on its own: the window stays usable while the mail program starts,
// with the wait cursor shown until xdg-email has returned.
#pragma once

#include <functional>

#include <QObject>
#include <QString>

#include "services/mail.h"

namespace tessel {

// True when xdg-email is on PATH.
bool MailProgramAvailable();

class MailHandOver : public QObject {
  Q_OBJECT

 public:
  using Done = std::function<void(MailResult)>;

  explicit MailHandOver(QObject* parent = nullptr);
  // Hand-overs still running when the program ends get a moment to finish.
  ~MailHandOver() override;

  // Starts xdg-email with `request` and returns at once; `done` is called
  // with the result when xdg-email has ended or could not be started.
  void Send(const MailRequest& request, Done done);

  // Hand-overs started and not yet ended.
  int Running() const { return running_; }

  // Longest time the wait cursor stays up: xdg-email may run as long as the
  // mail program it started when that program was not running before.
  static constexpr int kWaitCursorLimitMs = 10000;

 private:
  int running_ = 0;
};

}  // namespace tessel
