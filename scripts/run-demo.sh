#!/usr/bin/env bash
# Installs the dependencies, builds, creates a demo database when the program
# folder has none (administrator "admin", password "admin") and starts Corvane.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

bash "$ROOT/scripts/install-deps.sh"
bash "$ROOT/scripts/build.sh"

HOME_DIR="${CORVANE_HOME:-$HOME/.local/share/corvane}"
export CORVANE_HOME="$HOME_DIR"
if [ ! -f "$HOME_DIR/db/bdocc.mdb" ]; then
  "$ROOT/build/src/corvane-cli" init --home "$HOME_DIR" --admin-password admin --demo
fi

echo "Pasta do programa: $HOME_DIR"
echo "Usuário: admin  Senha: admin"
exec "$ROOT/build/src/corvane" "$@"
