# What the script tests need before they start, sourced by them: each missing piece fails the
# test loudly rather than letting it skip what it was meant to check.

# Fails unless every named command is installed.
require_tools() {
    local tool
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "$0: $tool is not installed (scripts/setup-debian.sh test installs it)" >&2
            exit 1
        fi
    done
}

# Fails unless an X server is there to start the program on.
require_display() {
    if [[ -z ${DISPLAY:-} ]]; then
        echo "$0: no X server; run it through scripts/with-x-server.sh" >&2
        exit 1
    fi
}
