// Files and text dropped on the main window and on the front card.

#include "support/main_window_fixture.h"

#include <QDropEvent>
#include <QMimeData>
#include <QStatusBar>
#include <QUrl>

#include "support/crd_for_test.h"

namespace tessel {
namespace {

class DropWindowTest : public uitest::MainWindowTest {
 protected:
  // As a file manager drags files: their URLs, and their paths as text.
  static std::unique_ptr<QMimeData> Files(const QStringList& paths) {
    auto mime = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& p : paths) urls.push_back(QUrl::fromLocalFile(p));
    mime->setUrls(urls);
    mime->setText(paths.join('\n'));
    return mime;
  }
  // Enter, move and drop at the middle of `target`, as a drag delivers them.
  static void Drop(QWidget* target, const QMimeData& mime) {
    const QPoint pos = target->rect().center();
    QDragEnterEvent enter(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(QPointF(pos), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
  }
  QString Crd(const QString& name) {
    const QString path = files.filePath(name);
    test::WriteBytes(path.toStdString(), test::ClassicCrdFile({{"zebra", "Z body"}, {"apple", "A body"}}).v);
    return path;
  }
  QString Title() { return Window().windowTitle(); }
};

TEST_F(DropWindowTest, ACardFileDroppedOnTheWindowOpensWithTheSavePrompt) {
  const QString first = CardFile("first.tsl", {"one", "two"});
  Drop(&Window(), *Files({first}));
  ASSERT_TRUE(Eventually([&] { return Window().Cards().Size() == 2; }));
  EXPECT_EQ(Title(), "Tessel - " + first);
  EXPECT_EQ(dialogs.Prompts(), 0);

  // Changed: Cancel keeps it all, No lets the dropped file in.
  Window().Cards().MarkBodyKey();
  const QString second = CardFile("second.tsl", {"three"});
  dialogs.answers = {QMessageBox::Cancel};
  Drop(Window().centralWidget(), *Files({second}));
  ASSERT_TRUE(Eventually([&] { return dialogs.Prompts() == 1; }));
  EXPECT_EQ(Window().Cards().Size(), 2u);
  EXPECT_EQ(Title(), "Tessel - " + first);

  dialogs.answers = {QMessageBox::No};
  Drop(&Window(), *Files({second}));
  ASSERT_TRUE(Eventually([&] { return Title() == "Tessel - " + second; }));
  EXPECT_EQ(dialogs.Prompts(), 2);
  EXPECT_EQ(Front(), "three");
}

TEST_F(DropWindowTest, ACardfileFileDroppedOnTheBodyIsImportedNotInsertedAsText) {
  OpenCards({{"card", "typed"}});
  // Known by its signature, whatever its name.
  const QString crd = Crd("old.dat");
  Drop(Body()->viewport(), *Files({crd}));
  ASSERT_TRUE(Eventually([&] { return Window().Cards().Size() == 2; }));
  EXPECT_EQ(Front(), "apple");
  EXPECT_EQ(Body()->toPlainText(), "A body");
  EXPECT_EQ(Title(), "Tessel - " + crd);
  EXPECT_EQ(Window().CardCountText(), "2 Cards");
  EXPECT_FALSE(Window().Action(CommandId::Save)->isEnabled());  // Save As first, as after Import
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(DropWindowTest, ACsvFileDroppedOnTheBodyGoesThroughTheColumnDialogAndIsAdded) {
  OpenCards({{"card", "typed"}});
  const QString csv = FileWith("people.csv", "Name;Phone\r\nBea;\"555\r\n556\"\r\n");
  Drop(Body()->viewport(), *Files({csv}));
  ASSERT_TRUE(Eventually([&] { return Window().Cards().Size() == 2; }));
  EXPECT_EQ(dialogs.modalTitles, QStringList{"Import Comma Delimited Text"});
  EXPECT_EQ(Window().Cards().At(0), CardInfo("Bea", "555\r\n556", 1));
  EXPECT_EQ(Window().Cards().At(1).body, "typed");
  EXPECT_EQ(Title(), "Tessel - " + files.filePath("cards.tsl"));  // added, not opened
  EXPECT_TRUE(Window().Cards().Modified());
}

TEST_F(DropWindowTest, OfSeveralFilesOnTheIndexTheFirstIsTakenAndTheStatusBarSaysSo) {
  OpenCards({{"card", "typed"}});
  const QString crd = Crd("first.crd");
  Drop(Index(), *Files({crd, CardFile("other.tsl", {"x"})}));
  ASSERT_TRUE(Eventually([&] { return Front() == "apple"; }));
  EXPECT_EQ(Index()->text(), "apple");
  EXPECT_EQ(Window().statusBar()->currentMessage(), "2 files dropped; only first.crd was taken.");
}

TEST_F(DropWindowTest, AnotherKindOfFileIsRefusedWithAClearMessage) {
  OpenCards({{"card", "typed"}});
  const QString path = FileWith("notes.txt", "plain notes");
  Drop(Body()->viewport(), *Files({path}));
  ASSERT_TRUE(Eventually([&] { return !dialogs.shown.empty(); }));
  EXPECT_EQ(dialogs.shown.front().text,
            "Tessel cannot take \"notes.txt\": it opens card files (*.tsl) and imports Cardfile "
            "files (*.crd), comma delimited text (*.csv) and vCard files (*.vcf).");
  EXPECT_EQ(Body()->toPlainText(), "typed");
  EXPECT_EQ(Window().Cards().Size(), 1u);
}

TEST_F(DropWindowTest, DroppedTextStillGoesIntoTheBody) {
  OpenCards({{"card", "typed"}});
  QMimeData text;
  text.setText("more ");
  Drop(Body()->viewport(), text);
  EXPECT_TRUE(Body()->toPlainText().contains("more ")) << Body()->toPlainText().toStdString();
  EXPECT_EQ(Window().Cards().Size(), 1u);
  EXPECT_TRUE(dialogs.shown.empty());
}

}  // namespace
}  // namespace tessel
