// File > Send: Mail Card, Mail List and Mail Tagged, handed to the desktop's
// mail program. The card toolbar's mail button is Mail Card's action.
#pragma once

#include "app/ui/app_context.h"
#include "services/mail.h"
#include "services/ui/mail_hand_over.h"

namespace tessel {

class MailController final : public Controller {
 public:
  explicit MailController(AppContext& context);

 private:
  void MailCard();
  void MailFile(MailAttachment kind);
  // `reason`: the system's word on a file that could not be written.
  void Report(MailResult result, const std::string& reason = {});

  AppContext& c_;
  // The attachments live here until the program ends: the mail program
  // reads them after the hand-over has returned.
  PrivateTempFolder attachments_;
  MailHandOver handOver_;
};

}  // namespace tessel
