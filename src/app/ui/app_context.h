// What every controller is given: the shared model, the command registry,
// the card stack on screen, the dialogs seam, the settings and the frame.
// A controller registers its commands' handlers in its constructor and lives
// as long as the main window.
#pragma once

#include <QMessageBox>
#include <QString>

#include "app/app_model.h"
#include "app/ui/command_registry.h"
#include "cards/settings_store.h"
#include "services/ui/dialogs.h"
#include "stack/ui/card_stack_view.h"

class QWidget;

namespace tessel {

class FormatToolBar;

// The main window as the controllers see it.
class Frame {
 public:
  virtual ~Frame() = default;
  // The parent of dialogs and message boxes.
  virtual QWidget* Window() = 0;
  // Gives the front card the file's index font and body format.
  virtual void ApplyCardFormat() = 0;
  // A passing word in the status bar, gone after a few seconds.
  virtual void ShowStatus(const QString& text) = 0;
};

struct AppContext {
  AppModel& model;
  CommandRegistry& commands;
  CardStackView& view;
  FormatToolBar& formatBar;
  Dialogs& dialogs;
  SettingsStore& settings;
  Frame& frame;

  // A short message in the application's standard box: the executable's
  // name as caption, OK, the exclamation icon unless another is given.
  // `reason`: the system's word on a failure, shown beneath the text.
  void ShowStandardMessage(const QString& text, QMessageBox::Icon icon = QMessageBox::Warning,
                           const QString& reason = QString()) const;
  // A file error: "Tessel Error..." with the stop icon.
  void ShowError(const QString& text, const QString& reason = QString()) const;
  void FocusFrontBody() const { view.FocusFrontBody(); }
};

// The base of every capability's controller.
class Controller {
 public:
  virtual ~Controller() = default;
};

}  // namespace tessel
