# Window look-ups shared by the scripts that take pictures of the real program
# (make_gif.sh, screenshot_scaled.sh); sourced, not run.

visible_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1; }

# Prints the id of the first visible window whose name matches $1, waiting up to 60 s.
wait_for_window() {
    local id
    for _ in $(seq 300); do
        id=$(visible_window "$1")
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.2
    done
    echo "${0##*/}: no window '$1' after 60 s" >&2
    return 1
}
