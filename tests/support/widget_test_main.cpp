// Runs the widget tests in a QApplication on the offscreen platform, so they
// need no display.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

// Qt and fontconfig keep some allocations for the life of the process; the
// leak checker should not count them as ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\n"
         "leak:libQt6Gui\n"
         "leak:libQt6Core\n"
         "leak:libQt6Widgets\n"
         "leak:libglib\n";
}

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  // Recovery files of the windows under test go to a folder of their own,
  // never among the user's.
  QTemporaryDir state;
  qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
