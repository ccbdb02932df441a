#include <QComboBox>
#include <QPushButton>

#include "cards/card_file.h"
#include "support/test_support.h"
#include "stack/palette.h"
#include "stack/ui/colour_picker.h"
#include "stack/ui/format_toolbar.h"
#include "services/ui/text.h"
#include "support/stack_test_support.h"

namespace tessel::test {
namespace {

class FormatToolBarTest : public StackFixture {
 protected:
  FormatToolBarTest()
      : bar(*view, {actions.For("Text Color"), nullptr, actions.For("Background Color")}, {}, {},
            &window, [this](QWidget*) { return dialogAnswer; }) {
    bar.setGeometry(0, 0, kHostWidth, 30);
  }

  void Choose(QComboBox* box, const QString& text) {
    const int i = box->findText(text);
    ASSERT_GE(i, 0) << text.toStdString();
    box->setCurrentIndex(i);
    emit box->activated(i);
  }

  void PickCell(int id) {
    ColourPicker* picker = bar.Picker();
    ASSERT_NE(picker, nullptr);
    for (std::size_t i = 0; i < kPalette.size(); ++i) {
      if (kPalette[i].id == id) {
        QTest::mouseClick(picker, Qt::LeftButton, {}, ColourPicker::CellRect(i).center());
      }
    }
  }

  std::optional<QColor> dialogAnswer;
  FormatToolBar bar;
};

TEST_F(FormatToolBarTest, BoxesWaitForAFocusThenFollowTheFocusedControl) {
  Load({"a", "b"});
  EXPECT_FALSE(bar.FaceBox()->isEnabled());
  EXPECT_FALSE(bar.SizeBox()->isEnabled());
  QStringList sizes;
  for (int i = 0; i < bar.SizeBox()->count(); ++i) sizes << bar.SizeBox()->itemText(i);
  EXPECT_EQ(sizes.join(' '), "8 10 12 14 16 18 20 22 24 26 28 32");
  ASSERT_GT(bar.FaceBox()->count(), 0);
  EXPECT_FALSE(bar.FaceBox()->isEditable());

  ShowActive();
  Focus(Index());
  EXPECT_TRUE(bar.SizeBox()->isEnabled());
  EXPECT_EQ(bar.SizeBox()->currentText(), "10");
  Choose(bar.SizeBox(), "14");
  EXPECT_EQ(format.indexSize, 14);
  EXPECT_EQ(format.bodySize, 10);
  EXPECT_EQ(Index()->font().pointSize(), 14);
  EXPECT_EQ(Body()->font().pointSize(), 10);
  EXPECT_EQ(bar.SizeBox()->currentText(), "14");

  const QString face = bar.FaceBox()->itemText(bar.FaceBox()->count() - 1);
  Focus(Body());
  EXPECT_EQ(bar.SizeBox()->currentText(), "10");
  Choose(bar.FaceBox(), face);
  EXPECT_EQ(FromCp1252(format.bodyFace), face);
  EXPECT_EQ(Body()->font().family(), face);
  EXPECT_EQ(format.indexFace, "Arial Black");
  // The face is saved in the card file: choosing one is a change to keep.
  EXPECT_TRUE(cards.Modified());

  // A face or size not in the lists shows no selection, and the tooltip
  // names the face the file holds.
  const QString tooltip = bar.FaceBox()->toolTip();
  format.bodySize = 30;
  format.bodyFace = "No Such Face";
  bar.Update();
  EXPECT_EQ(bar.SizeBox()->currentIndex(), -1);
  EXPECT_EQ(bar.FaceBox()->currentIndex(), -1);
  EXPECT_EQ(bar.FaceBox()->toolTip(), tooltip + ": \"No Such Face\", not installed");
  // A face is shown by the first entry that begins with it, case aside.
  const QString last = bar.FaceBox()->itemText(bar.FaceBox()->count() - 1);
  format.bodyFace = ToCp1252(last.left(last.size() - 1).toLower());
  bar.Update();
  EXPECT_EQ(bar.FaceBox()->currentIndex(),
            bar.FaceBox()->findText(last.left(last.size() - 1), Qt::MatchStartsWith));
  EXPECT_EQ(bar.FaceBox()->toolTip(), tooltip);

  // With no cards a choice is ignored.
  cards.RemoveAllCardWindows();
  cards.RemoveAllCards();
  Choose(bar.SizeBox(), "20");
  EXPECT_EQ(format.bodySize, 30);
}

// What the toolbar sets is the file's look: it is saved with the cards and
// comes back, on the cards, when the file is opened again.
TEST_F(FormatToolBarTest, ChoicesSurviveSaveAndOpen) {
  Load({"a", "b"});
  ShowActive();
  Focus(Index());
  Choose(bar.SizeBox(), "14");
  const QString face = bar.FaceBox()->itemText(0);
  Focus(Body());
  Choose(bar.FaceBox(), face);
  Choose(bar.SizeBox(), "18");
  const FormatSettings chosen = format;

  TempDir dir;
  RecordingReporter errors;
  ASSERT_TRUE(errors(WriteCardFile(cards, format, dir.File("look.tsl"))));
  cards.RemoveAllCards();
  cards.RemoveAllCardWindows();
  format = FormatSettings{};
  ASSERT_TRUE(errors(ReadCardFile(cards, format, dir.File("look.tsl"))));
  EXPECT_EQ(format, chosen);
  view->ApplyIndexFont(format.indexFace, format.indexSize);
  view->ApplyBodyFormat();
  EXPECT_EQ(Index()->font().pointSize(), 14);
  EXPECT_EQ(Body()->font().pointSize(), 18);
  EXPECT_EQ(Body()->font().family(), face);
}

TEST_F(FormatToolBarTest, ColourPicksGoToTheFocusedControl) {
  Load({"a", "b"});

  // Before either control had the focus a pick stores nothing.
  const FormatSettings before = format;
  bar.OpenPicker(ColourRole::Text);
  ASSERT_NE(bar.Picker(), nullptr);
  EXPECT_TRUE(bar.Picker()->isVisible());
  PickCell(1023);
  QCoreApplication::processEvents();
  EXPECT_EQ(format, before);
  EXPECT_EQ(bar.Picker(), nullptr);

  ShowActive();
  Focus(Body());
  bar.OpenPicker(ColourRole::Text);
  const QPoint under = bar.mapToGlobal(QPoint(0, bar.height()));
  EXPECT_EQ(bar.Picker()->pos().y(), under.y());
  PickCell(1023);
  EXPECT_EQ(format.bodyText, Rgb(255, 0, 0));
  EXPECT_EQ(Body()->palette().color(QPalette::Text), QColor(255, 0, 0));

  Focus(Index());
  bar.OpenPicker(ColourRole::Background);
  PickCell(1018);
  EXPECT_EQ(format.indexBackground, Rgb(255, 255, 255));
  EXPECT_EQ(Index()->palette().color(QPalette::Base), QColor(Qt::white));
  EXPECT_EQ(format.bodyBackground, before.bodyBackground);
}

TEST_F(FormatToolBarTest, PickerStaysForMissesClosesOutsideAndAsksForMore) {
  Load({"a"});
  ShowActive();
  Focus(Body());
  bar.OpenPicker(ColourRole::Background);
  ColourPicker* picker = bar.Picker();
  ASSERT_NE(picker, nullptr);
  const QPoint between(ColourPicker::CellRect(0).right() + 2, ColourPicker::CellRect(0).center().y());
  QTest::mouseClick(picker, Qt::LeftButton, {}, between);
  EXPECT_TRUE(picker->isVisible());

  // A cancelled dialog leaves the picker open and nothing changed.
  dialogAnswer.reset();
  QTest::mouseClick(picker->MoreButton(), Qt::LeftButton);
  EXPECT_TRUE(picker->isVisible());
  const FormatSettings before = format;
  EXPECT_EQ(format, before);
  dialogAnswer = QColor(1, 2, 3);
  QTest::mouseClick(picker->MoreButton(), Qt::LeftButton);
  EXPECT_EQ(format.bodyBackground, Rgb(1, 2, 3));
  QCoreApplication::processEvents();
  EXPECT_EQ(bar.Picker(), nullptr);

  bar.OpenPicker(ColourRole::Text);
  picker = bar.Picker();
  QTest::mousePress(picker, Qt::LeftButton, {}, QPoint(-20, -20));
  QCoreApplication::processEvents();
  EXPECT_EQ(bar.Picker(), nullptr);
  EXPECT_EQ(format.bodyText, before.bodyText);
}

// Renders the sample file's cascade; with TESSEL_SCREENSHOT set it also
// saves the picture there.
TEST_F(FormatToolBarTest, SampleFileLooksLikeAStackOfCards) {
  RecordingReporter errors;
  window.resize(760, 620);
  view->SetClientOrigin(QPoint(0, 30));
  cards.SetClientHeight(590);
  ASSERT_TRUE(errors(ReadCardFile(cards, format, TESSEL_SOURCE_DIR "/resources/sample.tsl")));
  view->ApplyIndexFont(format.indexFace, format.indexSize);
  view->ApplyBodyFormat();
  ShowActive();
  view->FocusFrontBody();
  const QImage shot = window.grab().toImage();
  EXPECT_EQ(shot.pixelColor(view->Back(1)->geometry().center().x(),
                            view->Back(1)->geometry().top() + 12).lightness() > 0, true);
  const QByteArray path = qgetenv("TESSEL_SCREENSHOT");
  if (!path.isEmpty()) {
    EXPECT_TRUE(shot.save(QString::fromLocal8Bit(path)));
  }
}

}  // namespace
}  // namespace tessel::test
