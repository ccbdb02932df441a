// The label engine on Qt: lays the labels out on the product's sheets from
// gLabels' template geometry and prints them through a QPrinter.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "services/label_run.h"
#include "services/ui/label_templates.h"

class QPrinter;

namespace tessel {

class SheetLabelEngine final : public LabelEngine {
 public:
  // `printer` is set up by the caller (device, copies, or a PDF file); the
  // engine sets its paper to the product's sheet and its paper source to the
  // tray where the printer offers it.
  SheetLabelEngine(LabelTemplateDatabase& templates, QPrinter& printer)
      : templates_(templates), printer_(printer) {}

  // Called after each printed sheet with the sheets done and due; false
  // stops printing (the job is aborted).
  void SetProgress(std::function<bool(int done, int total)> progress) {
    progress_ = std::move(progress);
  }

  bool NewMainDocument() override;
  bool InsertMergeField(const std::string& header) override;
  bool StoreEntry(const std::string& entry) override;
  bool LayOutSheet(const std::string& labelName, const std::string& entry, int trayCode) override;
  bool NewDataSource(const std::string& header) override;
  bool AddRecord(const std::string& labelText) override;
  bool Merge() override;
  bool SetFont(const std::string& face, float size) override;
  bool Print() override;
  std::string Error() const override;

  // Labels of the last Print whose text did not fit: only the lines that
  // fit whole were drawn.
  std::size_t CutShort() const { return cutShort_; }

  // What Print draws, for tests: the product and the texts in label order.
  const std::optional<LabelTemplate>& Product() const { return product_; }
  const QStringList& Texts() const { return records_; }

 private:
  bool Step(int expected, int next);
  bool Fail(const QString& why);

  LabelTemplateDatabase& templates_;
  QPrinter& printer_;
  std::function<bool(int, int)> progress_;
  int step_ = 0;
  QString header_, entry_, error_;
  std::optional<LabelTemplate> product_;
  QStringList records_;
  QString face_;
  float size_ = 10;
  std::size_t cutShort_ = 0;
};

}  // namespace tessel
