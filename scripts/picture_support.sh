# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the scripts that draw the README's terminal pictures, from the checkout's top folder: $tool is
# the built dot11b, the working folder becomes a scratch folder ($work, removed on exit), and SoapySDR loads
# only the tests' loopback radio, so that no radio and no display is needed.
tool="$PWD/build/bin/dot11b"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir empty-root
export SOAPY_SDR_ROOT="$work/empty-root" SOAPY_SDR_PLUGIN_PATH="$OLDPWD/build/tests/sdr/loopback_radio"

# render_terminal TEXT LINES APPEND PICTURE: TEXT as a terminal shows it, LINES lines an image, the images
# joined by ImageMagick's APPEND (-append: one below the other, +append: side by side). The text goes in as
# itself (ImageMagick's policy refuses label:@FILE, and a long label fails), % being its escape character,
# and a line's first space a no-break space, which the label does not strip.
render_terminal() {
  split -l "$2" "$1" part-
  for part in part-*; do
    convert -background '#1e1e1e' -fill '#d8d8d8' -font DejaVu-Sans-Mono -pointsize 13 \
      "label:$(sed -e 's/%/%%/g' -e 's/^ /\xc2\xa0/' "$part")" "$part.png"
  done
  convert -background '#1e1e1e' part-*.png -gravity NorthWest "$3" -bordercolor '#1e1e1e' -border 14 "$4"
}
