#!/usr/bin/env bash
# Installs the Debian packages listed in debian-packages.txt that are missing,
# then configures and builds Tollvane into the given build folder.
# Usage: scripts/setup.sh BUILD_DIR [extra cmake options...]
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$1"
shift

missing=()
while read -r package; do
    [[ -z "$package" || "$package" == \#* ]] && continue
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done < "$root/debian-packages.txt"

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    as_root=()
    [[ $(id -u) -ne 0 ]] && as_root=(sudo)
    "${as_root[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S "$root" -B "$root/$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$root/$build_dir" -j "$(nproc)"
