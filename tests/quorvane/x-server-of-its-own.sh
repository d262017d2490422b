# Sourced by the tests that drive the application under a virtual X server.

# Starts a virtual X server on a display it picks itself and exports DISPLAY; x_server holds its
# process. The server chooses the number as it binds its socket, so tests started side by side
# never share a display (xvfb-run -a chooses before it starts the server and can lose that race).
# It never resets: by default a server resets when its last client leaves, and a reset that
# meets a connection being accepted (an xdotool poll ending as the application starts) closes it.
start_x_server() {
  local ready tries
  ready=$(mktemp)
  Xvfb -displayfd 3 -noreset -screen 0 1600x1000x24 -nolisten tcp 3>"$ready" >/dev/null 2>&1 &
  x_server=$!
  # The server writes its number and a newline once it takes connections.
  for tries in $(seq 300); do
    if [ "$(wc -l <"$ready")" -ge 1 ]; then
      export DISPLAY=":$(head -1 "$ready")"
      rm -f "$ready"
      return 0
    fi
    kill -0 "$x_server" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$ready"
  echo "The virtual X server did not start." >&2
  return 1
}

# On exit, ends the server if it still runs and removes FOLDER. The server may have ended first
# (a test that ends it on purpose): the trap goes on regardless, as under errexit a failed kill
# would end it before the folder is gone.
stop_x_server_and_remove_on_exit() {
  trap "kill \"\${x_server:-}\" 2>/dev/null || true; rm -rf $(printf %q "$1")" EXIT
}
