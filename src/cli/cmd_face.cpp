// face: a face data file read into a project.

#include "cli/command.h"
#include "engine/face_reader.h"
#include "model/document.h"
#include "model/project_file.h"
#include "platform/ui.h"

namespace tovala::cli {
namespace {

int runFace(Args& args) {
  const Command& self = *findCommand("face");
  const auto out = args.option("-o");
  std::vector<std::string> pos;
  if (!out || !args.positionals(pos) || pos.size() != 2) return usage(self);
  HeadlessUi ui;
  Document doc;
  doc.ui = &ui;
  if (!loadProject(doc, pos[0], true)) return kExitFailed;
  if (loadFaceData(doc, pos[1]) != 1) return kExitFailed;
  return saveProject(doc, *out, true) ? kExitOk : kExitFailed;
}

}  // namespace

TOVALA_CLI_COMMAND("face", "face IN.tov FACE.fmk -o OUT.tov",
                   "reads a face data file into the document",
                   "Reads IN.tov, appends the face described by FACE.fmk as the editor's "
                   "\"顔画像データ読込み\" does (face-part lines 315 .. 330 and the hair strands, "
                   "the controller line 463 with its reference joint, the face's objects) and "
                   "saves the result as OUT.tov. When IN.tov already has a point numbered 10 the "
                   "face is placed on it at half the face reference size. A face file whose "
                   "counts do not fit the file is refused with \"エラー: 読込が出来ません。\" and "
                   "nothing is written.",
                   runFace);

}  // namespace tovala::cli
