// bmp-convert: read any picture the editor reads (BMP, PNG, JPEG), write it as a 24-bit BMP.

#include "cli/command.h"
#include "model/image_store.h"
#include "platform/ui.h"

namespace tovala::cli {
namespace {

int runBmpConvert(Args& args) {
  std::vector<std::string> pos;
  if (!args.positionals(pos) || pos.size() != 2) return usage(*findCommand("bmp-convert"));
  HeadlessUi ui;
  ImageStore store;
  store.initStore(1);
  if (!store.loadPicture(0, pos[0], ui)) return kExitFailed;
  if (!store.saveBmp(0, pos[1], ui)) return kExitFailed;
  return kExitOk;
}

}  // namespace

TOVALA_CLI_COMMAND("bmp-convert", "bmp-convert IN.bmp|IN.png|IN.jpg OUT.bmp",
                   "reads a picture the editor can read and writes it as a 24-bit BMP",
                   "Reads IN, told apart by its content: a BMP (1, 4, 8, 16, 24 or 32 bits, "
                   "bottom-up or top-down, with the 40, 108 or 124-byte header), a PNG (its alpha "
                   "laid over white) or a JPEG, and writes OUT.bmp as a 24-bit BMP with the 54-byte "
                   "preamble. The output is written atomically.",
                   runBmpConvert);

}  // namespace tovala::cli
