#include "services/ui/mail_hand_over.h"

#include <gtest/gtest.h>

#include <optional>

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include "support/xdg_email_stub.h"

namespace tessel {
namespace {

using uitest::XdgEmailStub;

// Sends and waits for the result, checking the wait cursor on the way.
std::optional<MailResult> SendAndWait(MailHandOver& mail, const MailRequest& request) {
  std::optional<MailResult> result;
  mail.Send(request, [&](MailResult r) { result = r; });
  // Send returns before the mail program has the message, wait cursor up.
  EXPECT_FALSE(result.has_value());
  EXPECT_EQ(mail.Running(), 1);
  EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
  if (QGuiApplication::overrideCursor()) {
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  }
  EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 10000));
  EXPECT_EQ(mail.Running(), 0);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  return result;
}

TEST(MailHandOver, CardGoesAsUtf8SubjectAndBody) {
  XdgEmailStub stub;
  ASSERT_TRUE(MailProgramAvailable());
  MailHandOver mail;
  const MailRequest request = CardMailRequest("Caf\xE9", "line one\r\nline two");
  EXPECT_EQ(SendAndWait(mail, request), MailResult::Sent);
  ASSERT_EQ(stub.Calls().size(), 1u);
  EXPECT_EQ(stub.Calls()[0], (QStringList{"--utf8", "--subject", QString::fromUtf8("Café"),
                                          "--body", "line one\nline two"}));
}

// The installed xdg-email, with a stand-in mail program behind it: without a
// desktop session xdg-email hands the mailto address to the command in $MAILER.
TEST(MailHandOver, TheRealXdgEmailTakesAnEmptyBodyAndOneLineEndPerBreak) {
  ASSERT_TRUE(QFileInfo::exists("/usr/bin/xdg-email")) << "xdg-utils is not installed";
  QTemporaryDir dir;
  const QString got = dir.filePath("mailto");
  QFile mailer(dir.filePath("mailer"));
  ASSERT_TRUE(mailer.open(QIODevice::WriteOnly));
  mailer.write("#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"" + QFile::encodeName(got) + "\"\n");
  mailer.close();
  mailer.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const QByteArray oldMailer = qgetenv("MAILER");
  qputenv("MAILER", QFile::encodeName(mailer.fileName()));

  MailHandOver mail;
  EXPECT_EQ(SendAndWait(mail, CardMailRequest("New card", "")), MailResult::Sent);
  EXPECT_EQ(SendAndWait(mail, CardMailRequest("Caf\xE9", "one\r\ntwo")), MailResult::Sent);
  qputenv("MAILER", oldMailer);
  if (oldMailer.isNull()) qunsetenv("MAILER");
  QFile sent(got);
  ASSERT_TRUE(sent.open(QIODevice::ReadOnly));
  EXPECT_EQ(sent.readAll(),
            "mailto:?subject=New%20card\n"
            "mailto:?subject=Caf%C3%A9&body=one%0D%0Atwo\n");
}

TEST(MailHandOver, AttachmentIsHandedOverByPath) {
  XdgEmailStub stub;
  PrivateTempFolder temp;
  std::string error;
  const std::string path = temp.WriteAttachment("cards.tsl.txt", "Ann\r\nBob\r\n", error);
  ASSERT_FALSE(path.empty()) << error;
  MailHandOver mail;
  EXPECT_EQ(SendAndWait(mail, AttachmentMailRequest(path)), MailResult::Sent);
  ASSERT_EQ(stub.Calls().size(), 1u);
  EXPECT_EQ(stub.Calls()[0], (QStringList{"--utf8", "--attach", QString::fromStdString(path)}));
  EXPECT_EQ(stub.Attachment(), QByteArray("Ann\r\nBob\r\n"));
}

TEST(MailHandOver, FailureAndMissingProgramAreReported) {
  {
    XdgEmailStub stub;
    stub.SetExitStatus(4);
    MailHandOver mail;
    EXPECT_EQ(SendAndWait(mail, CardMailRequest("a", "b")), MailResult::SendFailed);
  }
  XdgEmailStub none(/*present=*/false);
  EXPECT_FALSE(MailProgramAvailable());
  MailHandOver mail;
  EXPECT_EQ(SendAndWait(mail, CardMailRequest("a", "b")), MailResult::StartFailed);
}

}  // namespace
}  // namespace tessel
