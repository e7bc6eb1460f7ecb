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
echo "Tovala is built (build/release/src/cli/tovala-cli), but the editor window is not part of"
echo "this version yet: use tovala-cli (see README.md) until it lands."
