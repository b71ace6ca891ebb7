#!/usr/bin/env bash
# Installs the Debian packages the project needs, only when some are missing.
#   scripts/deps.sh          what building and running the program needs
#   scripts/deps.sh --test   also what the test suite, the sanitizer build and the fuzzers need
#   scripts/deps.sh --package  also what building the Debian package needs
#   scripts/deps.sh --package-check  also what checking the package as a user would needs
set -euo pipefail

packages=(g++ make cmake qt6-base-dev qt6-svg-dev libsimdjson-dev libgtest-dev libbenchmark-dev
          fonts-liberation2 fonts-dejavu-core)
case "${1:-}" in
  --test)
    packages+=(clang clang-format libclang-rt-14-dev locales xvfb xauth poppler-utils
               python3-jsonschema) ;;
  # CPack's DEB generator reads dependencies with dpkg-shlibdeps and file types with file.
  --package)
    packages+=(dpkg-dev file) ;;
  # lintian and the validators; man, the MIME and desktop databases and xdg-utils (with the
  # MIME sniffer it prefers) as a desktop has them; Xvfb to start the viewer.
  --package-check)
    packages+=(dpkg-dev file lintian appstream desktop-file-utils shared-mime-info man-db
               xdg-utils libfile-mimeinfo-perl xvfb xauth) ;;
esac

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The number-text tests also run under a comma-decimal locale when one exists.
if [[ "${1:-}" == "--test" && $(id -u) -eq 0 ]] && ! locale -a 2>/dev/null | grep -qi '^de_DE.utf8$'; then
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'de_DE.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null 2>&1 || true
fi
