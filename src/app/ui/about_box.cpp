#include "app/ui/about_box.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "services/ui/data_folder.h"
#include "services/ui/icons.h"

namespace tessel {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Tessel..."));
  setModal(true);

  auto* icon = new QLabel(this);
  icon->setObjectName(QStringLiteral("AboutIcon"));
  icon->setPixmap(ApplicationIcon().pixmap(32, 32));

  auto* text = new QLabel(QStringLiteral("Tessel %1\nOrvane Software\n%2")
                              .arg(QStringLiteral(TESSEL_VERSION), QLatin1String(kAboutYears)),
                          this);
  text->setObjectName(QStringLiteral("AboutText"));
  text->setAlignment(Qt::AlignCenter);
  text->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  text->setMargin(6);

  // The maker's address in black on grey, as a banner under the text.
  auto* address = new QLabel(QLatin1String(kMakerAddress), this);
  address->setAlignment(Qt::AlignCenter);
  address->setAutoFillBackground(true);
  QPalette banner = address->palette();
  banner.setColor(QPalette::Window, QColor(192, 192, 192));
  banner.setColor(QPalette::WindowText, Qt::black);
  address->setPalette(banner);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QGridLayout(this);
  layout->addWidget(icon, 0, 0, Qt::AlignCenter);
  layout->addWidget(text, 0, 1);
  layout->addWidget(address, 1, 0, 1, 2);
  layout->addWidget(buttons, 2, 0, 1, 2, Qt::AlignCenter);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace tessel
