#include "services/ui/mail_hand_over.h"

#include <gtest/gtest.h>

#include <optional>

#include <QGuiApplication>
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
                                          "--body", "line one\r\nline two"}));
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
