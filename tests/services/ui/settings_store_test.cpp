// The settings store on a real QSettings file in a temporary folder.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/placement.h"
#include "services/ui/qt_settings_store.h"

namespace tessel {
namespace {

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
  }
  QString ConfigFile() const { return dir_.path() + "/Tessel/tessel-test.conf"; }
  QTemporaryDir dir_;
};

TEST_F(SettingsTest, AbsentValuesGiveTheirDefaults) {
  QtSettingsStore store(QStringLiteral("tessel-test"));
  EXPECT_EQ(store.GetString(kLastFile, ""), "");
  EXPECT_EQ(store.GetInt(kComPort, kNoComPort), -1);
  EXPECT_EQ(store.GetString(kInstalled, ""), "");
  EXPECT_EQ(LoadWindowPlacement(store), kDefaultWindowRect);
  EXPECT_FALSE(QFile::exists(ConfigFile()));  // reading writes nothing
}

TEST_F(SettingsTest, ValuesLiveInTheSettingsGroupOfTheUsersFile) {
  {
    QtSettingsStore store(QStringLiteral("tessel-test"));
    store.WriteString(kLastFile, "/home/ann/Cards/home \xC3\xA9.tsl");
    store.WriteInt(kComPort, 2);
    SaveWindowPlacement(store, {0, ShowState::Normal, {10, 20, 530, 400}});
    EXPECT_EQ(store.FileName(), ConfigFile());
  }
  QSettings raw(ConfigFile(), QSettings::IniFormat);
  EXPECT_EQ(raw.value("Settings/Last File").toString(), QString::fromUtf8("/home/ann/Cards/home é.tsl"));
  EXPECT_EQ(raw.value("Settings/COM Port").toInt(), 2);
  EXPECT_EQ(raw.value("Settings/MainWindowPos").toString(), "0:1:10:20:530:400");

  QtSettingsStore again(QStringLiteral("tessel-test"));
  EXPECT_EQ(again.GetString(kLastFile, ""), "/home/ann/Cards/home \xC3\xA9.tsl");
  EXPECT_EQ(again.GetInt(kComPort, kNoComPort), 2);
  EXPECT_EQ(LoadWindowPlacement(again), (StackRect{10, 20, 530, 400}));
}

TEST_F(SettingsTest, DamagedValuesFallBack) {
  {
    QDir().mkpath(dir_.path() + "/Tessel");
    QFile f(ConfigFile());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Settings]\nCOM%20Port=two\nMainWindowPos=1:2:3\nLast%20File=" +
            QByteArray(10000, 'x') + "\n");
  }
  QtSettingsStore store(QStringLiteral("tessel-test"));
  EXPECT_EQ(store.GetInt(kComPort, kNoComPort), -1);
  EXPECT_EQ(LoadWindowPlacement(store), kDefaultWindowRect);
  EXPECT_EQ(store.GetString(kLastFile, ""), "");
}

TEST_F(SettingsTest, ApplicationNameIsTheExecutablesBaseName) {
  // The test program's own application object names the file.
  ASSERT_NE(QCoreApplication::instance(), nullptr);
  QtSettingsStore store;
  EXPECT_TRUE(store.FileName().endsWith("/Tessel/tessel_widget_tests.conf"))
      << store.FileName().toStdString();
}

}  // namespace
}  // namespace tessel
