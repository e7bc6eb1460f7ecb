// "環境" (dialog 132): the document's settings, and the summary list whose items are edited in
// the input box on a double click.

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "shell/panels/dialogs/input_dialogs.h"
#include "shell/panels/properties/property_page.h"

namespace tovala {

namespace {

constexpr int kSummaryList = 1213;

class EnvironmentPropertiesPage : public PropertyPage {
 public:
  explicit EnvironmentPropertiesPage(const Document& doc)
      : PropertyPage(doc, PropertyTarget::Document) {
    setObjectName("132");
    addRows({{"画像", {{"w", 1186}, {"h", 1187}}},
             {"背景色", {{nullptr, 1188}, {nullptr, 1189}, {nullptr, 1190}}},
             {"筆色", {{nullptr, 1209}, {nullptr, 1210}, {nullptr, 1211}}},
             {"線形", {{"最小", 1191}, {"最大", 1192}, {"補正X", 1193}, {"補正Y", 1194}}},
             {"描画方法", {{nullptr, 1195}}},
             {"ブラシ", {{"W", 1196}, {"H", 1197}, {"A", 1198}, {"K", 1199}}},
             {"マーク大", {{nullptr, 1202}, {"顔基準", 1214}}},
             {"移動", {{"X", 1203}, {"Y", 1204}, {"Z", 1205}}},
             {"回転", {{nullptr, 1206}, {nullptr, 1207}, {nullptr, 1208}}}});
    auto* checks = new QHBoxLayout;
    for (auto [label, id] : {std::pair{"個別線", 1200}, std::pair{"下絵表示", 1201},
                             std::pair{"物体表示", 1212}, std::pair{"戻す切替", 1215}})
      checks->addWidget(addCheck(label, id));
    pageLayout()->addLayout(checks);

    pageLayout()->addWidget(new QLabel(QString::fromUtf8("(項目をダブルクリックして編集)")));
    summary_ = new QListWidget;
    summary_->setObjectName(QString::number(kSummaryList));
    pageLayout()->addWidget(summary_);
    connect(summary_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { editItem(summary_->row(item)); });
  }

  QListWidget* summary() const { return summary_; }

  // A double click on item `item`: the input box where the item asks for a value.
  void editItem(int item) {
    if (item < 0 || item >= kSummaryItems) return;
    PropertyRequest r;
    r.kind = PropertyRequest::Kind::Summary;
    r.id = item;
    if (summaryAsks(item)) {
      const auto answer = askInput(this, summaryPrompt(item), summaryValue(doc_, item));
      if (!answer) return;  // cancelled
      r.text = *answer;
    }
    send(r);
  }

 protected:
  void refreshMore() override {
    // The selection stays where it was.
    const QSignalBlocker quiet(summary_);
    const int row = summary_->currentRow();
    summary_->clear();
    for (const std::string& item : summaryItems(doc_))
      summary_->addItem(QString::fromStdString(item));
    summary_->setCurrentRow(row);
  }

 private:
  QListWidget* summary_ = nullptr;
};

}  // namespace

PropertyPage* makeEnvironmentPage(const Document& doc) {
  return new EnvironmentPropertiesPage(doc);
}

}  // namespace tovala
