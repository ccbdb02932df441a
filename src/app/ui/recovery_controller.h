// Crash recovery in the window: keeps a recovery file of the unsaved cards
// (5 seconds after the last change, at least every 30 seconds while changes
// go on, and when the desktop session ends), removes it once the changes
// are saved or dropped, and at start offers back the newest one a process
// that is gone left behind. The file format and the decisions are in
// cards/recovery.h; here are only the timer and the session hook.
#pragma once

#include <memory>
#include <string>

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "app/ui/app_context.h"
#include "cards/recovery.h"

namespace tessel {

class RecoveryController final : public QObject, public Controller {
 public:
  explicit RecoveryController(AppContext& context);
  ~RecoveryController() override;

 protected:
  // Sees every key, click, drop and input-method event of the program: the
  // ways a change can come.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Tick();
  // Takes the snapshot now; `wait`: until it is on disk, then true when
  // it is there.
  bool WriteNow(bool wait);
  void OfferRecovery();
  void Recover(const RecoveryCandidate& found);
  // Tells of a failed write in the status bar; true when there was one.
  bool ShowWriteError();

  AppContext& c_;
  std::string folder_;
  RecoverySchedule schedule_;
  QElapsedTimer clock_;
  QTimer tick_;
  std::unique_ptr<RecoveryWriter> writer_;  // made at the first write
  bool folderReported_ = false;
};

}  // namespace tessel
