#include "app/ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QMenuBar>
#include <QPalette>
#include <QStatusBar>
#include <QToolBar>

#include "app/placement.h"
#include "app/ui/controllers.h"
#include "services/ui/dialogs.h"
#include "services/ui/icons.h"
#include "services/ui/text.h"
#include "stack/ui/format_toolbar.h"

namespace tessel {

MainWindow::MainWindow(SettingsStore& settings, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), settings_(settings), dialogs_(dialogs) {
  model_ = std::make_unique<AppModel>(settings_, static_cast<DocumentUi&>(*this));
  watcher_ = std::make_unique<QtFileWatcher>([this] {
    // Not while a dialog or a print run has the window: the cards may be in
    // use, and a reload would pull them away.
    if (QApplication::activeModalWidget()) return false;
    model_->document.CheckDisk();
    UpdateCommandStates();
    return true;
  });
  model_->document.UseGuards(&locker_, watcher_.get());
  const QPalette palette = QApplication::palette();
  model_->format = FormatSettings::Defaults(
      FromQColor(palette.color(QPalette::Button)), FromQColor(palette.color(QPalette::Base)),
      FromQColor(palette.color(QPalette::ButtonText)), FromQColor(palette.color(QPalette::Text)));

  setWindowTitle(ToQString(DocumentTitle("")));
  setWindowIcon(ApplicationIcon());
  const StackRect r = LoadWindowPlacement(settings_);
  setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);

  stackArea_ = new QWidget(this);
  stackArea_->setObjectName(QStringLiteral("StackArea"));
  setCentralWidget(stackArea_);
  registry_ = std::make_unique<CommandRegistry>(this);
  view_ = std::make_unique<CardStackView>(stackArea_, model_->cards, model_->format,
                                         static_cast<CardStackHost&>(*this),
                                         registry_->BarItems(&CommandInfo::cardBar));

  registry_->FillMenuBar(menuBar());
  CreateToolBars();
  CreateStatusBar();

  context_ = std::make_unique<AppContext>(AppContext{*model_, *registry_, *view_, *formatToolBar_,
                                                     dialogs_, settings_,
                                                     static_cast<Frame&>(*this)});
  registry_->Handle(CommandId::Restore, [this] { RestoreDefaultPlacement(); });
  controllers_ = MakeControllers(*context_);

  // The pane, the commands that depend on the number of cards and the
  // title's changed mark follow the cards as they change; the timer below
  // stays as the status bar's own refresh.
  cardSignals_ = std::make_unique<CardSignals>(model_->cards);
  connect(cardSignals_.get(), &CardSignals::countChanged, this, [this] {
    ShowCardCount();
    UpdateCommandStates();
  });
  connect(cardSignals_.get(), &CardSignals::modifiedChanged, this,
          &MainWindow::setWindowModified);

  cardTimer_.setInterval(kCardCountInterval);
  connect(&cardTimer_, &QTimer::timeout, this, &MainWindow::OnCardTimer);
  cardTimer_.start();

  connect(registry_.get(), &CommandRegistry::statesUpdated, this, [this] {
    formatToolBar_->Update();
    ovrPane_->setText(overwrite_ ? ToQString(CommandString(CommandId::IndicatorOvr)) : QString());
  });
  connect(qApp, &QApplication::focusChanged, this, &MainWindow::UpdateCommandStates);
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
          &MainWindow::UpdateCommandStates);
  connect(view_.get(), &CardStackView::bodyStateChanged, this, &MainWindow::UpdateCommandStates);
  UpdateCommandStates();
}

MainWindow::~MainWindow() {
  // Child widgets go after this object's members; neither the focus changes
  // they cause nor the collection may call into what is already gone.
  disconnect(qApp, nullptr, this, nullptr);
  disconnect(QGuiApplication::clipboard(), nullptr, this, nullptr);
  disconnect(view_.get(), nullptr, this, nullptr);
  disconnect(registry_.get(), nullptr, this, nullptr);
  cardSignals_.reset();
  registry_->ForgetInputs();
  controllers_.clear();
  delete formatToolBar_;
  formatToolBar_ = nullptr;
  view_.reset();
}

void MainWindow::CreateToolBars() {
  mainToolBar_ = addToolBar(QStringLiteral("Main"));
  mainToolBar_->setObjectName(QStringLiteral("MainToolBar"));
  AddToolbarItems(mainToolBar_, registry_->BarItems(&CommandInfo::mainBar));

  addToolBarBreak();
  const auto tips = [](CommandId id) {
    return BoxTips{ToQString(CommandTooltip(id)), ToQString(CommandPrompt(id))};
  };
  formatToolBar_ = new tessel::FormatToolBar(*view_, registry_->BarItems(&CommandInfo::formatBar),
                                             tips(CommandId::Font), tips(CommandId::FontSize),
                                             this);
  addToolBar(formatToolBar_);

  for (QToolBar* bar : {mainToolBar_, static_cast<QToolBar*>(formatToolBar_)}) {
    bar->setIconSize(QSize(16, 16));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
  }
}

void MainWindow::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar"));
  // Pane 0 shows "Ready"; a hovered item's prompt replaces it for a while.
  readyPane_ = new QLabel(ToQString(CommandPrompt(CommandId::Ready)), bar);
  bar->addWidget(readyPane_, 1);
  const auto pane = [bar](CommandId widest) {
    auto* label = new QLabel(bar);
    label->setAlignment(Qt::AlignCenter);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMinimumWidth(
        label->fontMetrics().horizontalAdvance(ToQString(CommandString(widest))) + 8);
    bar->addPermanentWidget(label);
    return label;
  };
  cardsPane_ = pane(CommandId::IndicatorCards);
  // Qt does not report the lock keys' state, so these two stay blank.
  capsPane_ = pane(CommandId::IndicatorCaps);
  numPane_ = pane(CommandId::IndicatorNum);
  ovrPane_ = pane(CommandId::IndicatorOvr);
  ShowCardCount(0);
}

void MainWindow::LoadCommandLine(const std::string& text) {
  model_->document.LoadCommandLine(text);
  UpdateCommandStates();
}

void MainWindow::FocusFrontBody() { view_->FocusFrontBody(); }

void MainWindow::SetOverwrite(bool on) {
  overwrite_ = on;
  UpdateCommandStates();
}

int MainWindow::MenuHeight() const {
  const QWidget* menu = menuWidget();
  if (!menu || menu->isHidden()) return 0;
  // What the main window's layout gives the menu bar at this width, also
  // before that layout has run.
  const int h = menu->heightForWidth(width());
  return h >= 0 ? h : menu->sizeHint().height();
}

int MainWindow::ClientHeight() const { return height() - MenuHeight(); }

void MainWindow::LayoutCards() {
  const int h = ClientHeight();
  // The cascade is measured in the client area below the menu bar; the card
  // windows live in the area between the bars, which starts lower.
  view_->SetClientOrigin(QPoint(-stackArea_->x(), MenuHeight() - stackArea_->y()));
  model_->cards.SetClientHeight(h);
  if (model_->cards.StackSize() > 0) model_->cards.LayoutStack(h);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (!isMinimized()) LayoutCards();
}

void MainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  const auto* change = static_cast<QWindowStateChangeEvent*>(event);
  // Coming back from the task bar brings no resize, but the stack is laid
  // out again as after any restore.
  if ((change->oldState() & Qt::WindowMinimized) && !isMinimized()) LayoutCards();
}

void MainWindow::RestoreDefaultPlacement() {
  setWindowState(Qt::WindowNoState);
  const StackRect& r = kDefaultWindowRect;
  setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
  LayoutCards();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!model_->document.Close()) {
    event->ignore();
    return;
  }
  WindowPlacement placement;
  placement.show = isMaximized()   ? ShowState::Maximized
                   : isMinimized() ? ShowState::Minimized
                                   : ShowState::Normal;
  const QRect g = placement.show == ShowState::Normal ? geometry() : normalGeometry();
  placement.normal = {g.x(), g.y(), g.x() + g.width(), g.y() + g.height()};
  SaveWindowPlacement(settings_, placement);
  cardTimer_.stop();
  event->accept();
}

void MainWindow::OnCardTimer() {
  ShowCardCount();
  UpdateCommandStates();
}

void MainWindow::ShowError(const std::string& text, const std::string& reason) {
  context_->ShowError(QString::fromUtf8(text), QString::fromUtf8(reason));
}

void MainWindow::ShowMessage(const std::string& text, const std::string& reason) {
  context_->ShowStandardMessage(QString::fromUtf8(text), QMessageBox::Warning,
                                QString::fromUtf8(reason));
}

SaveAnswer MainWindow::AskSaveChanges() {
  switch (dialogs_.Message(this, QMessageBox::Question, QStringLiteral("Tessel"),
                           QStringLiteral("Save Changes ?"),
                           QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes:
      return SaveAnswer::Yes;
    case QMessageBox::No:
      return SaveAnswer::No;
    default:
      return SaveAnswer::Cancel;
  }
}

LockedAnswer MainWindow::AskOpenLocked(const std::string& text) {
  const int chosen = dialogs_.Choose(this, QMessageBox::Warning, QStringLiteral("Tessel"),
                                     QString::fromUtf8(text),
                                     {QStringLiteral("&Open Read-Only"), QStringLiteral("Cancel")}, 0, 1);
  return chosen == 0 ? LockedAnswer::OpenReadOnly : LockedAnswer::Cancel;
}

ChangedAnswer MainWindow::AskChangedOnDisk(const std::string& text) {
  switch (dialogs_.Choose(this, QMessageBox::Warning, QStringLiteral("Tessel"),
                          QString::fromUtf8(text),
                          {QStringLiteral("&Save As..."), QStringLiteral("&Overwrite"),
                           QStringLiteral("Cancel")},
                          0, 2)) {
    case 0:
      return ChangedAnswer::SaveAs;
    case 1:
      return ChangedAnswer::Overwrite;
    default:
      return ChangedAnswer::Cancel;
  }
}

void MainWindow::ShowNotice(const std::string& text) {
  dialogs_.Notice(this, QStringLiteral("Tessel"), QString::fromUtf8(text));
}


std::optional<std::string> MainWindow::AskPath(const std::optional<std::string>& folder,
                                               bool save) {
  const std::optional<QString> start = folder ? std::optional(FromPath(*folder)) : std::nullopt;
  const QString chosen = save ? dialogs_.SaveFileName(this, start, CardFileKind())
                              : dialogs_.OpenFileName(this, start, CardFileKind());
  if (chosen.isEmpty()) return std::nullopt;
  return ToPath(chosen);
}

std::optional<std::string> MainWindow::AskOpenPath(const std::optional<std::string>& folder) {
  return AskPath(folder, false);
}

std::optional<std::string> MainWindow::AskSavePath(const std::optional<std::string>& folder) {
  return AskPath(folder, true);
}

void MainWindow::SetTitle(const std::string& title) { setWindowTitle(QString::fromUtf8(title)); }

void MainWindow::ShowCardCount(std::size_t count) {
  cardsPane_->setText(QStringLiteral("%1 Cards").arg(count));
}

void MainWindow::ShowCardCount() { ShowCardCount(model_->cards.Size()); }

void MainWindow::ShowStatus(const QString& text) { statusBar()->showMessage(text, 8000); }

void MainWindow::ShowStatus(const std::string& text) { ShowStatus(QString::fromStdString(text)); }

void MainWindow::ApplyCardFormat() {
  view_->ApplyIndexFont(model_->format.indexFace, model_->format.indexSize);
  view_->ApplyBodyFormat();
}

void MainWindow::OverwriteChanged(bool overwrite) { SetOverwrite(overwrite); }

void MainWindow::FormatTargetChanged() { UpdateCommandStates(); }

void MainWindow::OpenLink(const QUrl& url) { dialogs_.OpenUrl(url); }

}  // namespace tessel
