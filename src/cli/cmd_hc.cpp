// hc-encode, hc-decode: the HC run-length container over whole files.

#include "cli/command.h"
#include "model/hc_container.h"
#include "platform/ui.h"

namespace tovala::cli {
namespace {

int runHc(Args& args, const char* name,
          bool (*convert)(const std::string&, const std::string&, Ui&)) {
  std::vector<std::string> pos;
  if (!args.positionals(pos) || pos.size() != 2) return usage(*findCommand(name));
  HeadlessUi ui;
  return convert(pos[0], pos[1], ui) ? kExitOk : kExitFailed;
}

int runEncode(Args& args) { return runHc(args, "hc-encode", encodeFile); }
int runDecode(Args& args) { return runHc(args, "hc-decode", decodeFile); }

}  // namespace

TOVALA_CLI_COMMAND("hc-encode", "hc-encode IN OUT", "stores a whole file in the HC container",
                   "Encodes the file IN into the HC run-length container and writes it to OUT "
                   "(atomically). Files longer than 16777215 bytes cannot be stored.",
                   runEncode);
TOVALA_CLI_COMMAND("hc-decode", "hc-decode IN OUT", "unpacks a file stored in the HC container",
                   "Decodes the HC container IN and writes its content to OUT (atomically). The "
                   "content may end with up to three bytes past the stored length, as the "
                   "container's last repetition can pass it. A file that is not a complete HC "
                   "stream is refused.",
                   runDecode);

}  // namespace tovala::cli
