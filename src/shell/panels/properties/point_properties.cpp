// "点" (dialog 131): every field of the selected point and its parameter list; the point's
// command list is shown only.

#include "shell/panels/properties/property_page.h"

namespace tovala {

namespace {

class PointPropertiesPage : public PropertyPage {
 public:
  explicit PointPropertiesPage(const Document& doc) : PropertyPage(doc, PropertyTarget::Point) {
    setObjectName("131");
    addRows({{"線配列", {{nullptr, 1144}, {"点配列", 1103}, {"補足", 1149}}},
             {"種類", {{nullptr, 1145}, {"番号", 1146}}},
             {"mode", {{nullptr, 1147}, {"選択", 1148}}},
             {"位置", {{nullptr, 1150}, {nullptr, 1151}, {nullptr, 1152}}},
             {"基準", {{nullptr, 1153}, {nullptr, 1154}, {nullptr, 1155}}},
             {"回転", {{nullptr, 1156}, {nullptr, 1157}, {nullptr, 1158}}},
             {"移動", {{nullptr, 1159}, {nullptr, 1160}, {nullptr, 1161}}},
             {"単位X", {{nullptr, 1162}, {nullptr, 1163}, {nullptr, 1164}}},
             {"単位Y", {{nullptr, 1165}, {nullptr, 1166}, {nullptr, 1167}}},
             {"単位Z", {{nullptr, 1168}, {nullptr, 1169}, {nullptr, 1170}}},
             {"ブラシ", {{"W", 1171}, {"H", 1172}, {"A", 1173}, {"K", 1174}}},
             {"線形", {{"最小", 1175}, {"最大", 1176}, {"補正X", 1177}, {"補正Y", 1178}}}});
    addEntryEditor({1180, 1179, 1182, 1183, 1181, 1184, 1185, 1186, false});
  }
};

}  // namespace

PropertyPage* makePointPage(const Document& doc) { return new PointPropertiesPage(doc); }

}  // namespace tovala
