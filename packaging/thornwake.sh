#!/bin/sh
# Starts Thornwake from this unpacked folder; the program finds data/ beside itself.
# A missing shared library gets a sentence naming it instead of the loader's terse error.
here=$(dirname "$(readlink -f "$0")")
missing=$(ldd "$here/thornwake" 2>/dev/null | awk '/=> not found/ { printf "%s ", $1 }')
if [ -n "$missing" ]; then
    echo "thornwake: this system lacks ${missing% }" >&2
    echo "thornwake: THIRD-PARTY.md names the Debian package of each (or install the .deb, which pulls them in)" >&2
    exit 1
fi
exec "$here/thornwake" "$@"
