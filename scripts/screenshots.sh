#!/bin/sh
# Copies the README's pictures from the last end-to-end run's artefacts
# (build/windows/e2e/artifacts) into docs/screenshots, cut to what they show:
#   tray-menu.png       the tray menu (scenario startup, menu.png)
#   notification.png    a switch's notification (scenario hotkeys, notification.png)
#   options-*.png       each page of the Options dialog the options scenario kept
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

found=0
for page in "$ARTIFACTS"/options/options-*.png; do
  [ -f "$page" ] || continue
  cp "$page" "$OUT/$(basename "$page")"
  echo "screenshots: $OUT/$(basename "$page") from $page"
  found=1
done
[ $found -eq 1 ] || echo "screenshots: no Options pages in $ARTIFACTS/options yet" >&2
exit 0
