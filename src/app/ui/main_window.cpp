#include "app/ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QMimeData>
#include <QPalette>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolBar>

#include "app/placement.h"
#include "app/ui/about_box.h"
#include "services/ui/dialogs.h"
#include "app/ui/resources.h"
#include "services/ui/icons.h"
#include "stack/ui/format_toolbar.h"
#include "stack/ui/stack_commands.h"

namespace tessel {

namespace {

QString FromPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }
std::string ToPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString Text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

Colour ToColour(const QColor& c) {
  return static_cast<Colour>(c.red()) | static_cast<Colour>(c.green()) << 8 |
         static_cast<Colour>(c.blue()) << 16;
}

struct ActionSpec {
  CommandId id;
  const char* icon;  // resource name under :/icons, or nullptr
  QKeySequence key;
};

// Every command that a menu, a toolbar or a key reaches. F2 runs New, as the
// hint beside New promises.
const ActionSpec kActions[] = {
    {CommandId::New, "file-new", Qt::Key_F2},
    {CommandId::Open, "file-open", {}},
    {CommandId::Save, "file-save", Qt::Key_F3},
    {CommandId::SaveAs, nullptr, {}},
    {CommandId::Merge, "file-merge", {}},
    {CommandId::ImportCardfile, nullptr, {}},
    {CommandId::ExportText, nullptr, {}},
    {CommandId::ExportCommaText, nullptr, {}},
    {CommandId::PrintCard, "card-print", {}},
    {CommandId::PrintList, nullptr, {}},
    {CommandId::PrintTagged, nullptr, {}},
    {CommandId::MailCard, "card-mail", {}},
    {CommandId::MailList, nullptr, {}},
    {CommandId::MailTagged, nullptr, {}},
    {CommandId::Exit, nullptr, {}},
    {CommandId::Undo, "edit-undo", {}},
    {CommandId::Cut, "edit-cut", {}},
    {CommandId::Copy, "edit-copy", {}},
    {CommandId::Paste, "edit-paste", {}},
    {CommandId::GoTo, "go-to", Qt::Key_F5},
    {CommandId::Find, "edit-find", Qt::Key_F4},
    {CommandId::FindNext, "edit-find-next", Qt::Key_F6},
    {CommandId::Add, "card-add", Qt::Key_F7},
    {CommandId::Delete, "card-delete", {}},
    {CommandId::Tag, "card-tag", {}},
    {CommandId::Next, "card-next", Qt::Key_F8},
    {CommandId::Previous, "card-previous", Qt::Key_F9},
    {CommandId::Labels, nullptr, {}},
    {CommandId::Options, nullptr, {}},
    {CommandId::Restore, nullptr, {}},
    {CommandId::HelpContents, "help-contents", Qt::Key_F1},
    {CommandId::About, nullptr, {}},
    // The card toolbar's own buttons; the front card window shows them.
    {CommandId::Sort, "card-sort", {}},
    {CommandId::AutoDial, "card-dial", {}},
};

}  // namespace

MainWindow::MainWindow(SettingsStore& settings, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent),
      settings_(settings),
      dialogs_(dialogs),
      document_(cards_, format_, settings_, *this) {
  const QPalette palette = QApplication::palette();
  format_ = FormatSettings::Defaults(ToColour(palette.color(QPalette::Button)),
                                     ToColour(palette.color(QPalette::Base)));
  mailAvailable_ = !QStandardPaths::findExecutable(QStringLiteral("xdg-email")).isEmpty();
  comPort_ = settings_.GetInt(kComPort, kNoComPort);

  setWindowTitle(Text(DocumentTitle("")));
  setWindowIcon(ApplicationIcon());
  const StackRect r = LoadWindowPlacement(settings_);
  setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);

  stackArea_ = new QWidget(this);
  stackArea_->setObjectName(QStringLiteral("StackArea"));
  setCentralWidget(stackArea_);
  view_ = std::make_unique<CardStackView>(stackArea_, cards_, format_,
                                          static_cast<CardStackHost&>(*this));

  CreateActions();
  CreateMenus();
  CreateToolBars();
  CreateStatusBar();

  cardTimer_.setInterval(kCardCountInterval);
  connect(&cardTimer_, &QTimer::timeout, this, &MainWindow::OnCardTimer);
  cardTimer_.start();
  dialTimer_.setInterval(kDialHangUpDelay);
  connect(&dialTimer_, &QTimer::timeout, this, &MainWindow::OnDialTimer);

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
  view_.reset();
}

QAction* MainWindow::Action(CommandId id) const {
  const auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::CreateActions() {
  for (const ActionSpec& spec : kActions) {
    auto* action = new QAction(this);
    const QString prompt = Text(CommandPrompt(spec.id));
    action->setStatusTip(prompt);
    const std::string_view tip = CommandTooltip(spec.id);
    action->setToolTip(tip.empty() ? prompt : Text(tip));
    if (spec.icon) action->setIcon(CommandIcon(spec.icon));
    if (!spec.key.isEmpty()) {
      action->setShortcut(spec.key);
      action->setShortcutContext(Qt::WindowShortcut);
    }
    const CommandId id = spec.id;
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    actions_[id] = action;
    addAction(action);  // keys work whether or not a menu shows the action
  }
}

QMenu* MainWindow::AddMenu(QMenu* parent, const char* title) {
  QMenu* menu = parent ? parent->addMenu(QString::fromLatin1(title))
                       : menuBar()->addMenu(QString::fromLatin1(title));
  // States are asked again whenever a menu opens.
  connect(menu, &QMenu::aboutToShow, this, &MainWindow::UpdateCommandStates);
  return menu;
}

void MainWindow::AddItem(QMenu* menu, CommandId id, const char* text) {
  QAction* action = actions_.at(id);
  // The text after the tab is the key hint shown in the menu.
  action->setText(QString::fromLatin1(text));
  menu->addAction(action);
}

void MainWindow::CreateMenus() {
  QMenu* file = AddMenu(nullptr, "&File");
  AddItem(file, CommandId::New, "&New\tF2");
  AddItem(file, CommandId::Open, "&Open...");
  AddItem(file, CommandId::Save, "&Save\tF3");
  AddItem(file, CommandId::SaveAs, "Save &As...");
  AddItem(file, CommandId::Merge, "&Merge...");
  file->addSeparator();
  AddItem(AddMenu(file, "&Import"), CommandId::ImportCardfile, "Cardfile...");
  QMenu* exportMenu = AddMenu(file, "Export");
  AddItem(exportMenu, CommandId::ExportText, "Text file...");
  AddItem(exportMenu, CommandId::ExportCommaText, "Comma Delimited Text...");
  file->addSeparator();
  QMenu* print = AddMenu(file, "&Print");
  AddItem(print, CommandId::PrintCard, "&Card...");
  AddItem(print, CommandId::PrintList, "&List...");
  AddItem(print, CommandId::PrintTagged, "Tag...");
  file->addSeparator();
  QMenu* send = AddMenu(file, "Sen&d");
  AddItem(send, CommandId::MailCard, "&Card...");
  AddItem(send, CommandId::MailList, "&List...");
  AddItem(send, CommandId::MailTagged, "Tag...");
  file->addSeparator();
  AddItem(file, CommandId::Exit, "E&xit");

  QMenu* edit = AddMenu(nullptr, "&Edit");
  AddItem(edit, CommandId::Undo, "&Undo\t");
  edit->addSeparator();
  AddItem(edit, CommandId::Cut, "Cu&t\tShift+Del");
  AddItem(edit, CommandId::Copy, "&Copy\tCtrl+Ins");
  AddItem(edit, CommandId::Paste, "&Paste\tShift+Ins");
  edit->addSeparator();
  AddItem(edit, CommandId::GoTo, "&Go To...\tF5");
  AddItem(edit, CommandId::Find, "&Find...\tF4");
  AddItem(edit, CommandId::FindNext, "Find Next\tF6");

  QMenu* card = AddMenu(nullptr, "&Card");
  AddItem(card, CommandId::Add, "&Add...\tF7");
  card->addSeparator();
  AddItem(card, CommandId::Delete, "&Delete...");
  card->addSeparator();
  AddItem(card, CommandId::Tag, "&Tag...");
  card->addSeparator();
  AddItem(card, CommandId::Next, "&Next\tF8");
  AddItem(card, CommandId::Previous, "&Previous\tF9");

  QMenu* tools = AddMenu(nullptr, "&Tools");
  AddItem(tools, CommandId::Labels, "&Labels...");
  AddItem(tools, CommandId::Options, "&Options...");

  AddItem(AddMenu(nullptr, "&Window"), CommandId::Restore, "&Restore");

  QMenu* help = AddMenu(nullptr, "&Help");
  AddItem(help, CommandId::HelpContents, "Contents...\tF1");
  help->addSeparator();
  AddItem(help, CommandId::About, "&About");

  // Not in any menu; the card toolbar and the format toolbar show them.
  actions_.at(CommandId::Sort)->setText(QStringLiteral("Sort"));
  actions_.at(CommandId::AutoDial)->setText(QStringLiteral("Auto dial"));
}

void MainWindow::CreateToolBars() {
  const QSize iconSize(16, 16);
  mainToolBar_ = addToolBar(QStringLiteral("Main"));
  mainToolBar_->setObjectName(QStringLiteral("MainToolBar"));
  const CommandId groups[][4] = {
      {CommandId::New, CommandId::Open, CommandId::Save, CommandId::Ready},
      {CommandId::Merge, CommandId::Ready},
      {CommandId::Cut, CommandId::Copy, CommandId::Paste, CommandId::Undo},
      {CommandId::Find, CommandId::FindNext, CommandId::GoTo, CommandId::Ready},
      {CommandId::Add, CommandId::Delete, CommandId::Tag, CommandId::Ready},
      {CommandId::HelpContents, CommandId::Ready},
  };
  bool first = true;
  for (const auto& group : groups) {
    if (!first) mainToolBar_->addSeparator();
    first = false;
    for (CommandId id : group) {
      if (id == CommandId::Ready) break;  // end of a shorter group
      mainToolBar_->addAction(actions_.at(id));
    }
  }

  addToolBarBreak();
  formatToolBar_ = new tessel::FormatToolBar(*view_, this);
  addToolBar(formatToolBar_);
  // Its colour buttons join the command table, so one rule governs them.
  actions_[CommandId::TextColour] = formatToolBar_->TextColourAction();
  actions_[CommandId::BackgroundColour] = formatToolBar_->BackgroundColourAction();
  actions_[CommandId::TextColour]->setText(QStringLiteral("Text Color"));
  actions_[CommandId::BackgroundColour]->setText(QStringLiteral("Background Color"));

  for (QToolBar* bar : {mainToolBar_, static_cast<QToolBar*>(formatToolBar_)}) {
    bar->setIconSize(iconSize);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
  }
}

void MainWindow::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar"));
  // Pane 0 shows "Ready"; a hovered item's prompt replaces it for a while.
  readyPane_ = new QLabel(Text(CommandPrompt(CommandId::Ready)), bar);
  bar->addWidget(readyPane_, 1);
  const auto pane = [bar](CommandId widest) {
    auto* label = new QLabel(bar);
    label->setAlignment(Qt::AlignCenter);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(Text(CommandString(widest))) + 8);
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

CommandInputs MainWindow::CurrentInputs() const {
  CommandInputs in;
  in.cards = cards_.StackSize();
  in.saveBlocked = document_.SaveBlocked();
  in.mailAvailable = mailAvailable_;
  in.searchTextEmpty = search_.text.empty();
  // The front body's, even while the index field has the focus. The view
  // is gone while the window is destroyed, when focus changes still call in.
  in.canUndo = view_ && view_->BodyCanUndo();
  in.bodySelectionEmpty = !view_ || !view_->BodyHasSelection();
  const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
  in.clipboardHasText = clip && clip->hasText();
  in.dialPending = dialPending_;
  return in;
}

void MainWindow::UpdateCommandStates() {
  const CommandInputs in = CurrentInputs();
  for (const auto& [id, action] : actions_) action->setEnabled(CommandEnabled(id, in));
  formatToolBar_->Update();
  ovrPane_->setText(overwrite_ ? Text(CommandString(CommandId::IndicatorOvr)) : QString());
}

void MainWindow::RunCommand(CommandId id) {
  if (!CommandEnabled(id, CurrentInputs())) {
    UpdateCommandStates();
    return;
  }
  switch (id) {
    case CommandId::New:
      document_.New();
      break;
    case CommandId::Open:
      document_.Open();
      break;
    case CommandId::Save:
      document_.Save();
      break;
    case CommandId::SaveAs:
      document_.SaveAs();
      break;
    case CommandId::Merge:
      document_.Merge();
      break;
    case CommandId::Exit:
      // Posted, so that the command finishes before the close procedure runs.
      QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
      break;
    case CommandId::Restore:
      RestoreDefaultPlacement();
      break;
    case CommandId::HelpContents:
      ShowHelp();
      break;
    case CommandId::About:
      ShowAbout();
      break;
    case CommandId::Add:
      AddCard();
      break;
    case CommandId::Delete:
      DeleteCard();
      break;
    case CommandId::GoTo:
      GoTo();
      break;
    case CommandId::Next:
      view_->Next();
      break;
    case CommandId::Previous:
      view_->Previous();
      break;
    case CommandId::Find:
      Find();
      break;
    case CommandId::FindNext:
      FindNext();
      break;
    case CommandId::Undo:
      view_->UndoBody();
      break;
    case CommandId::Cut:
      view_->CutBody();
      break;
    case CommandId::Copy:
      view_->CopyBody();
      break;
    case CommandId::Paste:
      view_->PasteBody();
      break;
    default:
      // Import, export, print, mail, tag, label and option commands arrive
      // with their own windows and dialogs.
      break;
  }
  UpdateCommandStates();
}

void MainWindow::LoadCommandLine(const std::string& text) {
  document_.LoadCommandLine(text);
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
  cards_.SetClientHeight(h);
  if (cards_.StackSize() > 0) cards_.LayoutStack(h);
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
  if (!document_.Close()) {
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
  ShowCardCount(cards_.Size());
  if (cards_.StackSize() > 0) {
    view_->SetCommandEnabled(kCmdDial, view_->BodyHasSelection() && !dialPending_);
    view_->SetCommandEnabled(kCmdNext, cards_.Size() > 1);
    view_->SetCommandEnabled(kCmdPrevious, cards_.Size() > 1);
    view_->SetCommandEnabled(kCmdMailCard, mailAvailable_);
  }
  UpdateCommandStates();
}

void MainWindow::OnDialTimer() {
  // The modem port closes here once dialling exists; the timer keeps running.
  dialPending_ = false;
}

void MainWindow::ShowHelp() {
  QString folder = FromPath(settings_.GetString(kInstalled, ""));
  if (folder.isEmpty()) folder = HelpFolder();
  const QString path = folder + QStringLiteral("/tessel.html");
  if (QFileInfo(path).isFile() && dialogs_.OpenUrl(QUrl::fromLocalFile(path))) return;
  ShowStandardMessage(QStringLiteral(
      "There is a problem with the help file.\n"
      "You may need the Microsoft HTML Help Update\n"
      "Please, go to %1 and follow the instructions from there")
                          .arg(QString::fromLatin1(kHelpAddress)));
}

void MainWindow::ShowAbout() {
  AboutBox box(this);
  dialogs_.RunModal(box);
  if (!cards_.Empty()) FocusFrontBody();
}

void MainWindow::ShowStandardMessage(const QString& text) {
  const QString caption = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
  dialogs_.Message(this, QMessageBox::Warning, caption, text, QMessageBox::Ok);
}

void MainWindow::ShowError(const std::string& text) {
  dialogs_.Message(this, QMessageBox::Critical, QStringLiteral("Tessel Error..."),
                   QString::fromUtf8(text), QMessageBox::Ok);
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

std::optional<std::string> MainWindow::AskPath(const std::optional<std::string>& folder,
                                               bool save) {
  std::optional<QString> start;
  if (folder) start = FromPath(*folder);
  const QString chosen =
      save ? dialogs_.SaveFileName(this, start) : dialogs_.OpenFileName(this, start);
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

void MainWindow::ApplyCardFormat() {
  view_->ApplyIndexFont(format_.indexFace, format_.indexSize);
  view_->ApplyBodyFormat();
}

// Printing, mail and dialling arrive with their own work; the card toolbar's
// buttons go through the same commands as the menu.
void MainWindow::PrintFrontCard() { RunCommand(CommandId::PrintCard); }
void MainWindow::MailFrontCard() { RunCommand(CommandId::MailCard); }
void MainWindow::DialNumber(const std::string& /*selection*/) { RunCommand(CommandId::AutoDial); }

void MainWindow::OverwriteChanged(bool overwrite) { SetOverwrite(overwrite); }

void MainWindow::FormatTargetChanged() { UpdateCommandStates(); }

void MainWindow::OpenLink(const QUrl& url) { dialogs_.OpenUrl(url); }

}  // namespace tessel
