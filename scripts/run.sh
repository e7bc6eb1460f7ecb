#!/usr/bin/env bash
# Builds Tovala (Release) and starts the editor.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
cmake --preset release >/dev/null
cmake --build build/release -j "$(nproc)"

if [ -x build/release/src/app/tovala ]; then
  exec build/release/src/app/tovala "$@"
fi
echo "The editor was not built (Qt 6 missing?); tovala-cli is at build/release/src/cli/tovala-cli."
exit 1
