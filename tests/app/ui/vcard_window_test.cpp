// vCard export and import through the main window: the menu commands with
// their dialogs and messages, and a .vcf file dropped on the window.
#include <QDropEvent>
#include <QMimeData>
#include <QRadioButton>
#include <QUrl>

#include "output/vcard_writer.h"
#include "support/main_window_fixture.h"
#include "support/test_support.h"

namespace tessel {
namespace {

class VcardWindowTest : public uitest::MainWindowTest {
 protected:
  void OpenRecords(const std::vector<CardInfo>& cards) {
    Window().Cards().MarkUnchanged();
    OpenThrough(WriteCards("cards.tsl", cards));
    ASSERT_EQ(Window().Cards().Size(), cards.size());
  }
  // The next "Export vCards" dialog gets the radio button `choice` checked.
  void Choose(const QString& choice) {
    dialogs.modalAnswers.push_back([choice](QDialog& d) {
      auto* button = d.findChild<QRadioButton*>(choice);
      EXPECT_NE(button, nullptr);
      if (!button) return int(QDialog::Rejected);
      button->setChecked(true);
      return int(QDialog::Accepted);
    });
  }
  std::string Bytes(const QString& path) {
    const auto b = test::ReadBytes(path.toStdString());
    return {b.begin(), b.end()};
  }
  QString WriteVcf(const QString& name, const std::string& text) {
    const QString path = files.filePath(name);
    test::WriteBytes(path.toStdString(), std::vector<uint8_t>(text.begin(), text.end()));
    return path;
  }
  std::vector<std::string> Indexes() {
    std::vector<std::string> out;
    for (const CardInfo& c : Window().Cards().Cards()) out.push_back(c.index);
    return out;
  }
};

TEST_F(VcardWindowTest, ExportAsksForTaggedOrAllCardsAndImportAddsThemBack) {
  const std::vector<CardInfo> cards = {CardInfo("Doe, Jane", "Tel 555 0100", 1),
                                       CardInfo("Roe, Ray", "ray@example.org", 0)};
  OpenRecords(cards);
  const QString tagged = files.filePath("tagged.vcf");
  Choose("tagged");
  dialogs.saveNames = {tagged};
  Window().RunCommand(CommandId::ExportVcard);
  EXPECT_EQ(dialogs.modalTitles, QStringList{"Export vCards"});
  EXPECT_EQ(dialogs.filters.back(), "vCard Files (*.vcf)");
  EXPECT_EQ(Bytes(tagged), VcardBytes({cards[0]}));

  const QString all = files.filePath("all.vcf");
  Choose("all");
  dialogs.saveNames = {all};
  Window().RunCommand(CommandId::ExportVcard);
  EXPECT_EQ(Bytes(all), VcardBytes(cards));
  EXPECT_FALSE(Window().Cards().Modified());  // an export changes nothing

  // Cancelling the question writes nothing and asks for no file.
  const std::size_t fileDialogs = dialogs.filters.size();
  Cancel();
  Window().RunCommand(CommandId::ExportVcard);
  EXPECT_EQ(dialogs.filters.size(), fileDialogs);

  // Imported into the open document: added and sorted in, tags as they were.
  dialogs.openNames = {all};
  Window().RunCommand(CommandId::ImportVcard);
  EXPECT_EQ(Indexes(), (std::vector<std::string>{"Doe, Jane", "Doe, Jane", "Roe, Ray", "Roe, Ray"}));
  EXPECT_EQ(Window().Cards().At(2), cards[1]);
  EXPECT_TRUE(Window().Cards().Modified());
  EXPECT_EQ(Window().CardCountText(), "4 Cards");
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].icon, QMessageBox::Information);
  EXPECT_EQ(dialogs.shown[0].text, "2 cards were imported from \"" + all + "\".");
}

TEST_F(VcardWindowTest, ImportRunsWithoutCardsAndTellsOfDamage) {
  // Enabled on an empty document, which the cards then fill.
  Window().Cards().MarkUnchanged();
  EXPECT_TRUE(Window().Action(CommandId::ImportVcard)->isEnabled());
  EXPECT_FALSE(Window().Action(CommandId::ExportVcard)->isEnabled());
  dialogs.openNames = {WriteVcf("cut.vcf", "BEGIN:VCARD\r\nFN:Whole\r\nPHOTO:x\r\nEND:VCARD\r\n"
                                           "BEGIN:VCARD\r\nFN:Cut")};
  Window().RunCommand(CommandId::ImportVcard);
  EXPECT_EQ(Indexes(), std::vector<std::string>{"Whole"});
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].icon, QMessageBox::Warning);
  EXPECT_TRUE(dialogs.shown[0].text.contains("1 vCard that is not whole was left out"));
  EXPECT_TRUE(dialogs.shown[0].text.contains("1 photo"));

  // Nothing whole: nothing added, and the message says why.
  Window().Cards().MarkUnchanged();
  dialogs.openNames = {WriteVcf("none.vcf", "Name,Phone\r\n")};
  Window().RunCommand(CommandId::ImportVcard);
  EXPECT_EQ(Indexes(), std::vector<std::string>{"Whole"});
  EXPECT_FALSE(Window().Cards().Modified());
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_TRUE(dialogs.shown[1].text.contains("it holds no vCard"));
}

TEST_F(VcardWindowTest, AVcardFileDroppedOnTheWindowIsAdded) {
  OpenRecords({CardInfo("Zed", "", 1)});
  const QString vcf = WriteVcf("book.vcf", "BEGIN:VCARD\r\nVERSION:4.0\r\nN:Alpha;Al;;;\r\nEND:VCARD\r\n");
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(vcf)});
  const QPoint pos = Window().rect().center();
  QDragEnterEvent enter(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&Window(), &enter);
  QDropEvent drop(QPointF(pos), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&Window(), &drop);
  ASSERT_TRUE(Eventually([&] { return Window().Cards().Size() == 2; }));
  EXPECT_EQ(Indexes(), (std::vector<std::string>{"Alpha, Al", "Zed"}));
  EXPECT_EQ(dialogs.Prompts(), 0);  // added, not opened: nothing to save first
}

}  // namespace
}  // namespace tessel
