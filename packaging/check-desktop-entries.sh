#!/bin/sh
# Checks the desktop entries: desktop-file-validate on each .desktop file, and the keys Nemo
# needs in its action file, for which no validator exists.
# Usage: check-desktop-entries.sh DESKTOP-FILE-VALIDATE FILE...
set -u
validate=$1
shift
status=0
for entry in "$@"; do
    case $entry in
    *.nemo_action)
        head -n 1 "$entry" | grep -qx '\[Nemo Action\]' || { echo "$entry: first line is not [Nemo Action]"; status=1; }
        for key in Name Exec Selection Extensions; do
            grep -q "^$key=." "$entry" || { echo "$entry: no $key"; status=1; }
        done
        grep -qx 'Exec=Sumora %F' "$entry" || { echo "$entry: Exec does not pass the selection to Sumora"; status=1; }
        ;;
    *)
        # A KDE service menu is of type Service, for which the freedesktop format has no
        # MimeType and Actions; those two complaints are expected, anything else is a fault.
        complaints=$("$validate" "$entry" 2>&1 |
            grep -v 'key "\(MimeType\|Actions\)" is present in group "Desktop Entry", but the type is "Service"')
        if [ -n "$complaints" ]; then
            echo "$complaints"
            status=1
        fi
        ;;
    esac
done
exit $status
