#!/bin/sh
# Copies the README's pictures from the last end-to-end run's artefacts
# (build/windows/e2e/artifacts) into docs/screenshots, cut to what they show:
#   tray-menu.png       the tray menu (scenario startup, menu.png)
#   notification.png    a switch's notification (scenario hotkeys, notification.png)
#   options-*.png       each page of the Options dialog (English, 96 dpi) the options scenario kept
# A picture the run did not make is reported and left as it was.
set -u
cd "$(dirname "$0")/.."
ARTIFACTS=${ARTIFACTS:-build/windows/e2e/artifacts}
OUT=docs/screenshots
mkdir -p "$OUT"
command -v convert >/dev/null || {
  echo "screenshots: ImageMagick's convert is missing (scripts/install-deps.sh)" >&2
  exit 1
}

# cut SOURCE TARGET GRAVITY SIZE: the part of the desktop of this size at
# this side (the tray menu opens at the bottom right, the notification shows
# at the bottom in the middle).
cut() {
  if [ -f "$1" ]; then
    convert "$1" -gravity "$3" -crop "$4+0+0" +repage "$OUT/$2"
    echo "screenshots: $OUT/$2 from $1"
  else
    echo "screenshots: no $1 (run the end-to-end tests first); $OUT/$2 left as it was" >&2
  fi
}

cut "$ARTIFACTS/startup/menu.png" tray-menu.png SouthEast 320x180
cut "$ARTIFACTS/hotkeys/notification.png" notification.png South 420x140

# The options scenario keeps each page in English at 96 dpi as en-96-pageN.png,
# N in the order of the category list.
found=0
set -- general device-role device-link hotkeys about
index=0
for name in "$@"; do
  page="$ARTIFACTS/options/en-96-page$index.png"
  index=$((index + 1))
  [ -f "$page" ] || continue
  cp "$page" "$OUT/options-$name.png"
  echo "screenshots: $OUT/options-$name.png from $page"
  found=1
done
[ $found -eq 1 ] || echo "screenshots: no Options pages in $ARTIFACTS/options yet" >&2
exit 0
