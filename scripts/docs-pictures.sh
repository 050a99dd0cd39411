#!/usr/bin/env bash
# Makes the README's pictures from the end-to-end tests' screenshots: each one
# cropped to the window or menu it shows (the place kept beside it in
# NAME.rect), reduced to a small palette, stripped of metadata so that an
# unchanged picture gives unchanged bytes.
#
# Usage: docs-pictures.sh SHOTS DOCS [VERSION]
#   SHOTS     the screenshot folder of the test run (build/e2e/screenshots)
#   DOCS      where the pictures go (docs)
#   VERSION   the Windows version of the pictures to use (default: winxp)
set -euo pipefail

shots=${1:?usage: docs-pictures.sh SHOTS DOCS [VERSION]}
docs=${2:?usage: docs-pictures.sh SHOTS DOCS [VERSION]}
version=${3:-winxp}
max_bytes=40960

# README picture, and the screenshot it comes from.
pictures=(
  "tray-menu-right.png   $version-menu-run"
  "tray-menu-left.png    $version-menu-left"
  "editor-direct3d.png   editor-$version-new-program-direct3d"
  "editor-glide.png      editor-$version-new-program-glide"
  "editor-additional.png editor-$version-new-program-additional"
  "editor-live.png       editor-$version-live-settings-direct3d"
  "about.png             $version-about"
  "card-model.png        $version-card-dialog"
  "large-fonts-card.png   large-fonts-$version-120-card"
  "large-fonts-editor.png large-fonts-$version-120-editor"
)

mkdir -p "$docs"
status=0
for entry in "${pictures[@]}"; do
  read -r picture shot <<<"$entry"
  source=$shots/$shot.png
  if [[ ! -f $source || ! -f $shots/$shot.rect ]]; then
    echo "docs-pictures: $source or its .rect is missing (run the tests that take it)" >&2
    status=1
    continue
  fi
  read -r x y w h <"$shots/$shot.rect"
  read -r width height <<<"$(identify -format '%w %h' "$source")"
  if ((x < 0 || y < 0 || w <= 0 || h <= 0 || x + w > width || y + h > height)); then
    echo "docs-pictures: ${w}x${h}+${x}+${y} is not inside $source (${width}x${height})" >&2
    status=1
    continue
  fi
  # Without antialiasing and dithering, a Wine window has few colours; a
  # palette keeps them exact, where fewer would blur text and icons.
  out=$docs/$picture
  for colours in 256 128 64 32; do
    convert "$source" -crop "${w}x${h}+${x}+${y}" +repage +dither -colors "$colours" -strip \
      -define png:exclude-chunks=date,time "PNG8:$out"
    (($(stat -c %s "$out") <= max_bytes)) && break
  done
  size=$(stat -c %s "$out")
  if ((size > max_bytes)); then
    echo "docs-pictures: $out is $size bytes, more than $max_bytes even with $colours colours" >&2
    status=1
  fi
  printf 'docs-pictures: %-28s %4dx%-4d %6d bytes, %s colours\n' "$out" "$w" "$h" "$size" \
    "$(identify -format '%k' "$out")"
done
exit $status
