#pragma once
// The body shape's commands: the shape asked before 人体モデル作成 builds the figure, and
// 体型変更, which gives the figure being edited another shape in one undo step.

#include <functional>
#include <optional>

#include "script/body_shape.h"
#include "shell/command_table.h"

namespace tovala {

class TMyWindow;

inline constexpr int kCommandBodyShape = 40130;  // ファイル: 体型変更, after 人体モデル作成

// Shown when 体型変更 meets a document that does not start with a body model figure.
inline constexpr const char* kNotABodyModel =
    "人体モデル作成で作った図形ではないため、体型を変更できません。";

// The 体型 dialog for a new figure, starting from the shape of the figure being edited (or the
// standard one); nothing when it was cancelled.
std::optional<BodyShape> askNewBodyShape(TMyWindow& w);
// The new figure was built in `shape`: it is kept with the project from now on.
void keepBodyShape(TMyWindow& w, const BodyShape& shape);

void changeBodyShapeCommand(TMyWindow& w);

// How both commands ask for the shape: the 体型 dialog when the window shows real Qt dialogs. A
// window answered by a scripted Ui (tests, automation) asks `asker` when one is set, else keeps
// the shape it starts from, as the command did before shapes existed.
using BodyShapeAsker = std::function<std::optional<BodyShape>(const BodyShape& initial)>;
void setBodyShapeAsker(BodyShapeAsker asker);
CommandState bodyShapeRule(TMyWindow& w);

}  // namespace tovala
