# What the end-to-end tests read from screenshots; sourced, not run. Needs
# ImageMagick and a DISPLAY.

# The share of strongly coloured pixels in an image: roses are bright,
# saturated strokes on black.
coloured_share() {
  convert "$1" -colorspace HSL -channel G -separate +channel -threshold 40% \
    -format '%[fx:mean]' info:
}

# Takes screenshots of window $1 (an X id, or root) until one shows roses, for
# up to $2 seconds; keeps the last as $3.
wait_roses() {
  local tries=$(($2 / 2))
  while [ "$tries" -gt 0 ]; do
    import -window "$1" "$3" 2>/dev/null &&
      awk -v s="$(coloured_share "$3")" 'BEGIN { exit !(s > 0.0005) }' && return 0
    sleep 2
    tries=$((tries - 1))
  done
  return 1
}
