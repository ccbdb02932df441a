#include "app/ui/document_controller.h"

#include <QWidget>

namespace tessel {

DocumentController::DocumentController(AppContext& c) {
  Document& doc = c.model.document;
  c.commands.Provide(Input::SaveBlocked, [&doc] { return doc.SaveBlocked(); });
  c.commands.Provide(Input::ReadOnly, [&doc] { return doc.ReadOnly(); });
  c.commands.Handle(CommandId::New, [&doc] { doc.New(); });
  c.commands.Handle(CommandId::Open, [&doc] { doc.Open(); });
  c.commands.Handle(CommandId::Save, [&doc] { doc.Save(); });
  c.commands.Handle(CommandId::SaveAs, [&doc] { doc.SaveAs(); });
  c.commands.Handle(CommandId::Merge, [&doc] { doc.Merge(); });
  c.commands.Handle(CommandId::Exit, [&c] {
    // Posted, so that the command finishes before the close procedure runs.
    QMetaObject::invokeMethod(c.frame.Window(), &QWidget::close, Qt::QueuedConnection);
  });
}

}  // namespace tessel
