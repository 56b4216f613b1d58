#!/usr/bin/env bash
# Fails when a tracked .h/.cpp of src/, tests/ or bench/ is not in the house
# format (.clang-format, clang-format 14), naming each such file. To mend:
# clang-format -i <file>. CLANG_FORMAT names another binary.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CLANG_FORMAT="${CLANG_FORMAT:-clang-format}"
cd "$ROOT"

if ! command -v "$CLANG_FORMAT" >/dev/null 2>&1; then
  echo "check-format.sh: $CLANG_FORMAT não encontrado (bash scripts/install-deps.sh o instala)." >&2
  exit 2
fi

mapfile -d '' files < <(git ls-files -z -- 'src/*.h' 'src/*.cpp' 'tests/*.h' 'tests/*.cpp' 'bench/*.h' 'bench/*.cpp')
if [ ${#files[@]} -eq 0 ]; then
  echo "check-format.sh: nenhum fonte encontrado (fora de um repositório git?)." >&2
  exit 2
fi

present=()
for f in "${files[@]}"; do
  # A file deleted but not yet committed is no longer there to judge.
  [ -f "$f" ] && present+=("$f")
done

# One run over all files is quick; only when it fails is each file run alone,
# to name the offenders.
bad=()
if ! printf '%s\0' "${present[@]}" | xargs -0 "$CLANG_FORMAT" --dry-run --Werror >/dev/null 2>&1; then
  for f in "${present[@]}"; do
    "$CLANG_FORMAT" --dry-run --Werror "$f" >/dev/null 2>&1 || bad+=("$f")
  done
fi

if [ ${#bad[@]} -gt 0 ]; then
  echo "Fora do formato (${#bad[@]} arquivo(s); corrija com clang-format -i):"
  printf '  %s\n' "${bad[@]}"
  exit 1
fi
echo "Formato: ${#present[@]} arquivos conferidos."
