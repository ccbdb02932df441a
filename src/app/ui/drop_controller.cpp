#include "app/ui/drop_controller.h"

#include <QApplication>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include "app/ui/import_controller.h"
#include "cards/crd_file.h"
#include "cards/vcard_file.h"
#include "services/ui/text.h"

namespace tessel {

namespace {

QList<QUrl> LocalFiles(const QMimeData* mime) {
  QList<QUrl> files;
  if (!mime || !mime->hasUrls()) return files;
  for (const QUrl& url : mime->urls()) {
    if (url.isLocalFile()) files.push_back(url);
  }
  return files;
}

}  // namespace

DropController::DropController(AppContext& context) : c_(context) {
  c_.frame.Window()->setAcceptDrops(true);
  qApp->installEventFilter(this);
}

bool DropController::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
  const auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != c_.frame.Window()) return false;
  // QDragEnterEvent and QDragMoveEvent are drop events too.
  auto* drop = static_cast<QDropEvent*>(event);
  const QList<QUrl> files = LocalFiles(drop->mimeData());
  if (files.isEmpty()) return false;  // text: the editor inserts it
  drop->setDropAction(Qt::CopyAction);
  drop->accept();
  if (type == QEvent::Drop) {
    // Once the drop is over: the prompt and the messages must not hold the
    // program the file came from.
    QTimer::singleShot(0, this, [this, files] { Take(files); });
  }
  return true;
}

void DropController::Take(const QList<QUrl>& files) {
  const QString path = files.front().toLocalFile();
  const QString name = QFileInfo(path).fileName();
  if (files.size() > 1) {
    c_.frame.ShowStatus(QStringLiteral("%1 files dropped; only %2 was taken.")
                            .arg(files.size())
                            .arg(name));
  }
  const std::string file = ToPath(path);
  const QString suffix = QFileInfo(path).suffix().toLower();
  Document& document = c_.model.document;
  if (LooksLikeCrdFile(file) || suffix == QLatin1String("crd")) {
    // A .crd file without the signature gets the import's own message.
    c_.commands.RunAsCommand([&] { document.ImportCardfileFile(file); });
  } else if (suffix == QLatin1String("csv")) {
    c_.commands.RunAsCommand([&] { ImportCsvFile(c_, file); });
  } else if (HasVcardExtension(file)) {
    c_.commands.RunAsCommand([&] { ImportVcard(c_, file); });
  } else if (suffix == QLatin1String("tsl")) {
    c_.commands.RunAsCommand([&] { document.OpenFile(file); });
  } else {
    c_.ShowStandardMessage(
        QStringLiteral("Tessel cannot take \"%1\": it opens card files (*.tsl) and imports "
                       "Cardfile files (*.crd), comma delimited text (*.csv) and vCard files (*.vcf).")
            .arg(name),
        QMessageBox::Information);
  }
}

}  // namespace tessel
