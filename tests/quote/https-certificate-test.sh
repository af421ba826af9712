#!/usr/bin/env bash
# An https quote source whose server shows a certificate the system's store
# does not vouch for: nothing is read from it, and the error says why in
# plain words. The server is openssl's own test server on 127.0.0.1 with a
# self-signed certificate made here.
# Usage: https-certificate-test.sh QUORELLE-QUOTE
set -euo pipefail
quote=$1
work=$(mktemp -d)
server=
cleanup() {
  if [[ -n $server ]]; then
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 \
  -keyout "$work/key.pem" -out "$work/cert.pem" >/dev/null 2>&1
port=
for _ in 1 2 3 4 5; do
  port=$((20000 + RANDOM % 20000))
  openssl s_server -quiet -accept "127.0.0.1:$port" -cert "$work/cert.pem" -key "$work/key.pem" -www \
    >/dev/null 2>&1 &
  server=$!
  sleep 0.5
  kill -0 "$server" 2>/dev/null && break
  server=
done
[[ -n $server ]] || { echo "openssl s_server did not start" >&2; exit 1; }

export XDG_CONFIG_HOME=$work/config
status=0
output=$("$quote" --source chart-json --host "chart-json=https://127.0.0.1:$port" YSI) || status=$?
echo "$output"
[[ $status == 1 ]] || { echo "exit status $status, expected 1" >&2; exit 1; }
grep -q '"ok":false' <<<"$output"
grep -q "certificate could not be verified" <<<"$output"
