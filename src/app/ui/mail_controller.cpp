#include "app/ui/mail_controller.h"

#include "services/ui/text.h"

namespace tessel {

MailController::MailController(AppContext& context) : c_(context) {
  // Once, as the window is built; a mail program installed later is seen at
  // the next start.
  const bool available = MailProgramAvailable();
  c_.commands.Provide(Input::MailAvailable, [available] { return available; });
  c_.commands.Handle(CommandId::MailCard, [this] { MailCard(); });
  c_.commands.Handle(CommandId::MailList, [this] { MailFile(MailAttachment::List); });
  c_.commands.Handle(CommandId::MailTagged, [this] { MailFile(MailAttachment::Tagged); });
}

void MailController::MailCard() {
  if (c_.model.cards.Empty()) return;
  const CardInfo& front = c_.model.cards.At(0);
  handOver_.Send(CardMailRequest(front.index, front.body), [this](MailResult r) { Report(r); });
}

void MailController::MailFile(MailAttachment kind) {
  const std::string bytes = AttachmentBytes(c_.model.cards.Cards(), kind);
  std::string error;
  const std::string path = attachments_.WriteAttachment(
      AttachmentName(c_.model.document.Path()), bytes, error);
  if (path.empty()) {
    Report(MailResult::FileError, error);
    return;
  }
  handOver_.Send(AttachmentMailRequest(path), [this](MailResult r) { Report(r); });
}

void MailController::Report(MailResult result, const std::string& reason) {
  const char* text = MailResultText(result);
  if (!text) return;
  if (result == MailResult::FileError) {
    c_.ShowError(ToQString(text), ToQString(reason));
  } else {
    c_.ShowStandardMessage(ToQString(text));
  }
}

}  // namespace tessel
