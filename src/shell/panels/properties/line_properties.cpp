// "線" (dialog 106): every field of the selected line, its parameter and command lists.

#include "shell/panels/properties/property_page.h"

namespace tovala {

namespace {

class LinePropertiesPage : public PropertyPage {
 public:
  explicit LinePropertiesPage(const Document& doc) : PropertyPage(doc, PropertyTarget::Line) {
    setObjectName("106");
    addRows({{"線配列", {{nullptr, 1102}, {"点配列", 1183}, {"点の数", 1132}}},
             {"番号", {{nullptr, 1104}, {"分類", 1111}}},
             {"種類", {{nullptr, 1105}, {"mode", 1107}}},
             {"線mode", {{nullptr, 1108}, {"画mode", 1109}, {"選択", 1110}}},
             {"拡大率", {{"幅", 1112}, {"高", 1113}, {"奥", 1114}}},
             {"位置", {{nullptr, 1115}, {nullptr, 1116}, {nullptr, 1117}}},
             {"基準", {{nullptr, 1118}, {nullptr, 1119}, {nullptr, 1120}}},
             {"回転", {{nullptr, 1121}, {nullptr, 1122}, {nullptr, 1123}}},
             {"移動", {{nullptr, 1150}, {nullptr, 1151}, {nullptr, 1152}}},
             {"範囲", {{"X(w)", 1124}, {"Y(h)", 1125}, {"W(a)", 1126}, {"H(k)", 1127}}},
             {"ブラシ", {{nullptr, 1128}, {nullptr, 1129}, {nullptr, 1130}, {nullptr, 1131}}},
             {"線色", {{"R", 1133}, {"G", 1134}, {"B", 1135}}},
             {"塗色", {{nullptr, 1136}, {nullptr, 1137}, {nullptr, 1138}}},
             {"線形", {{"最小", 1139}, {"最大", 1140}, {"補正X", 1141}, {"補正Y", 1142}}}});
    addEntryEditor({1106, 1144, 1143, 1145, 1146, 1147, 1148, 1149, true});
  }
};

}  // namespace

PropertyPage* makeLinePage(const Document& doc) { return new LinePropertiesPage(doc); }

}  // namespace tovala
