#!/usr/bin/env bash
# Puts Tirello in the current user's applications menu: a desktop entry that starts the
# program from its portable folder, with its icon. A later run points it at the folder
# given again.
# Usage: scripts/desktop-entry.sh PROGRAM_FOLDER
set -euo pipefail
folder=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
apps="${XDG_DATA_HOME:-$HOME/.local/share}/applications"
mkdir -p "$apps"
cp -f "$root/resources/logo.svg" "$folder/Tirello.svg"
entry="$apps/tirello.desktop"
tmp=$(mktemp "$apps/.tirello.XXXXXX")
cat > "$tmp" <<DESKTOP
[Desktop Entry]
Type=Application
Version=1.0
Name=Tirello
GenericName=Gestione laboratorio di analisi
Comment=Clienti, modelli di analisi, rapporti di prova e certificati di analisi chimica
Exec="$folder/Tirello"
Path=$folder
Icon=$folder/Tirello.svg
Terminal=false
Categories=Office;Science;Chemistry;
DESKTOP
chmod 644 "$tmp"
mv -f "$tmp" "$entry"
