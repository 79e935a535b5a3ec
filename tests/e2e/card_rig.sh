# The virtual-card rig of the end-to-end scripts: cardsim-daemon with its cards
# behind tests/e2e/winscard.dll, and the keys, signatures and answers a case
# compares with. The sourcing script sets work (its folder, with keys/ in it),
# port (the first reader's), daemon_bin, and daemon="" (e2e_rig.sh's rig_start
# gives all but port and keys/).

# stop_daemon: quits the running daemon, if any.
stop_daemon() {
  if [ -n "$daemon" ]; then
    echo quit >&7 || true
    exec 7>&-
    wait "$daemon" 2>/dev/null || true
    daemon=""
  fi
}
# start_daemon <card options...>: one reader per --card, "Reader <i>" on port+i.
# Its standard input stays open on descriptor 7 ("remove 0", "insert 0").
start_daemon() {
  stop_daemon
  rm -rf "$work/certs" "$work/fifo"
  mkdir -p "$work/certs"
  mkfifo "$work/fifo"
  "$daemon_bin" --listen --port "$port" --key-dir "$work/keys" --export-dir "$work/certs" "$@" \
    <"$work/fifo" >"$work/daemon.log" 2>&1 &
  daemon=$!
  exec 7>"$work/fifo"
  local readers="" i=0 arg
  for arg in "$@"; do
    if [ "$arg" = --card ]; then
      readers+="${readers:+;}Reader $i=$((port + i))"
      i=$((i + 1))
    fi
  done
  export TAV_TEST_READERS="$readers"
  for _ in $(seq 100); do
    if grep -q ready "$work/daemon.log"; then return 0; fi
    sleep 0.05
  done
  echo "cardsim-daemon did not start:" >&2
  cat "$work/daemon.log" >&2
  return 1
}

# make_hostile_gpki: a GPKI card's certificate and its CA in $work/hostile
# (user.pem, user.key, ca.pem): 40 long units with right-to-left overrides in
# its subject, a bell and marks in its name, 200 alternative names.
make_hostile_gpki() {
  local hostile="$work/hostile"
  mkdir -p "$hostile"
  printf '%s\n' '[req]' 'distinguished_name = dn' 'prompt = no' 'utf8 = yes' 'string_mask = utf8only' \
    '[dn]' 'C = JP' 'O = Corvane Authority' 'OU = OfficialStatusCA' >"$hostile/ca.cnf"
  openssl req -x509 -new -newkey rsa:2048 -nodes -keyout "$hostile/ca.key" -out "$hostile/ca.pem" -days 3650 \
    -config "$hostile/ca.cnf" 2>/dev/null
  {
    printf '%s\n' '[req]' 'distinguished_name = dn' 'prompt = no' 'utf8 = yes' 'string_mask = utf8only' '[dn]' 'C = JP' \
      'O = Japanese Government'
    for i in $(seq -w 0 39); do printf '%s.OU = Unit %s \u202e%s\n' "$i" "$i" "$(printf 'x%.0s' $(seq 50))"; done
    printf 'CN = Yamada \u202eTaro\u200f \aBell\n'
    printf '%s\n' '[ext]' 'keyUsage = critical,digitalSignature,nonRepudiation' 'subjectAltName = @alt' \
      'subjectKeyIdentifier = hash' '[alt]' 'dirName.0 = dir_sect'
    for i in $(seq 1 199); do printf 'DNS.%s = host%s.example.jp\n' "$i" "$i"; done
    printf '%s\n' '[dir_sect]' 'C = JP' 'O = Japanese Government' "CN = Yamada Taro $(printf 'y%.0s' $(seq 40))"
  } >"$hostile/user.cnf"
  openssl req -new -newkey rsa:2048 -nodes -keyout "$hostile/user.key" -out "$hostile/user.csr" -config "$hostile/user.cnf" \
    2>/dev/null
  openssl x509 -req -in "$hostile/user.csr" -CA "$hostile/ca.pem" -CAkey "$hostile/ca.key" -CAcreateserial \
    -out "$hostile/user.pem" -days 3650 -extfile "$hostile/user.cnf" -extensions ext 2>/dev/null
}

# The private key of the pool (or of the hostile certificates a case made)
# whose public key is in a certificate file (DER).
key_of() {
  local want key
  want="$(openssl x509 -inform DER -in "$1" -noout -pubkey)"
  for key in "$work"/keys/*.pem "$work"/hostile/*.key; do
    [ -e "$key" ] || continue
    if [ "$(openssl pkey -in "$key" -pubout)" = "$want" ]; then
      echo "$key"
      return 0
    fi
  done
  return 1
}

# sign <certificate.der> <base64 DigestInfo>: the PKCS#1 v1.5 signature the
# card's key gives, in base64 (deterministic, so it can be compared byte for byte).
sign() {
  printf '%s' "$2" | base64 -d >"$work/tbs"
  openssl pkeyutl -sign -inkey "$(key_of "$1")" -in "$work/tbs" | base64 -w0
}

# verify <certificate.der> <base64 DigestInfo> <base64 signature>
verify() {
  openssl x509 -inform DER -in "$1" -noout -pubkey >"$work/pub.pem"
  printf '%s' "$2" | base64 -d >"$work/tbs"
  printf '%s' "$3" | base64 -d >"$work/sig"
  openssl pkeyutl -verify -pubin -inkey "$work/pub.pem" -in "$work/tbs" -sigfile "$work/sig" >/dev/null
}

# A SHA-256 DigestInfo of a text, in base64.
digest_info() {
  { printf '3031300d060960864801650304020105000420' | xxd -r -p; printf '%s' "$1" | openssl dgst -sha256 -binary; } |
    base64 -w0
}

# The value of a "name":"value" line of the received answer.
answer_field() { tail -c +5 "$work/answer" | tr -d '\0' | sed -n "s/^  \"$1\":\"\\(.*\\)\",\\{0,1\\}\r\$/\\1/p"; }

# answer_json <name> <value> ...: the answer text TAV writes for these fields.
answer_json() {
  local text=$'{\r\n' separator=""
  while [ $# -ge 2 ]; do
    text+="$separator  \"$1\":\"$2\""
    separator=$',\r\n'
    shift 2
  done
  printf '%s' "$text"$'\r\n}'
}


# The installation identifier of the received answer; expect() checks its form.
uuid() { answer_field uuid; }

# True when the received answer has no uuid or one of 32 upper-case hexadecimal
# digits, as TAV makes it.
answer_uuid_ok() {
  local value
  value="$(answer_field uuid)"
  [ -z "$value" ] || [[ "$value" =~ ^[0-9A-F]{32}$ ]]
}
