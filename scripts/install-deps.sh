#!/usr/bin/env bash
# Installs what is needed to build, run and test Corvane on Debian 12.
# Safe to run again: packages already present are left alone.
set -euo pipefail

PACKAGES=(
  qt6-base-dev libqt6sql6-sqlite libsqlite3-dev pxlib-dev libzip-dev libcurl4-openssl-dev
  python3-pyftpdlib python3-aiosmtpd python3-openssl poppler-utils zip unzip cmake g++ make pkg-config
  xvfb xauth xdotool imagemagick fonts-dejavu-core
  clang libclang-rt-dev clang-format tzdata
  postgresql libpq-dev libqt6sql6-psql
)
# Speeds up rebuilds; the build works without it.
OPTIONAL=(ccache)

if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
elif command -v sudo >/dev/null 2>&1; then
  SUDO=(sudo)
else
  echo "install-deps.sh: execute como root ou instale o sudo." >&2
  exit 1
fi

installed() {
  [ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null || true)" = "installed" ]
}

missing=()
for p in "${PACKAGES[@]}"; do
  installed "$p" || missing+=("$p")
done
missing_optional=()
for p in "${OPTIONAL[@]}"; do
  installed "$p" || missing_optional+=("$p")
done

if [ ${#missing[@]} -eq 0 ] && [ ${#missing_optional[@]} -eq 0 ]; then
  echo "Dependências já instaladas."
  exit 0
fi

APT=("${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get)
"${APT[@]}" update
if [ ${#missing[@]} -gt 0 ]; then
  "${APT[@]}" install -y --no-install-recommends "${missing[@]}"
fi
if [ ${#missing_optional[@]} -gt 0 ]; then
  "${APT[@]}" install -y --no-install-recommends "${missing_optional[@]}" \
    || echo "Aviso: pacotes opcionais não instalados: ${missing_optional[*]}" >&2
fi
echo "Dependências instaladas."
