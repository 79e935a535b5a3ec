#!/usr/bin/env bash
# The release artefacts of a win32 build (<build>/release, target tavori_release):
# - both programs carry the build's version, product, company and a description;
# - SHA256SUMS lists them; without a signing key the build says it made
#   unsigned artefacts, and they carry no signature;
# - a second build of the same commit in another folder, without a compiler
#   cache and of the release target only, gives the same bytes;
# - with a throwaway code-signing CA, that second build signs every artefact,
#   osslsigncode verifies each against the CA, a changed byte fails, the key's
#   password never appears in the build's log, and signing again (without a
#   timestamp server) gives the same bytes; a wrong or missing password, or a
#   timestamp server that does not answer, fails the build;
# - an extension ID of another form given to the build is refused.
# The first build must have been configured without a compiler launcher
# (-DCMAKE_C_COMPILER_LAUNCHER= -DCMAKE_CXX_COMPILER_LAUNCHER=): a cached object
# could hide a build path that a real compile would embed.
# Usage: tests/e2e/release_flow.sh <win32-build-dir>
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build_dir="$(cd "$1" && pwd)"
release="$build_dir/release"
artefacts=(TAV_Wrapper.exe TAV.exe Tavori.msi Tavori-PerMachine.msi)
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")"
work="$(mktemp -d /tmp/tav-release.XXXXXX)"
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAILED $1" >&2; failed=1; }
ok() { if [ "$failed" -eq 0 ]; then echo "ok   $1"; fi; }

if grep -q '^CMAKE_C\(XX\)\?_COMPILER_LAUNCHER:[A-Z]*=.' "$build_dir/CMakeCache.txt"; then
  echo "FAILED $build_dir was built through a compiler launcher; configure it with" \
    "-DCMAKE_C_COMPILER_LAUNCHER= -DCMAKE_CXX_COMPILER_LAUNCHER= in a fresh folder" >&2
  exit 1
fi

# version_value <program> <name>: a string of its version resource.
version_value() {
  i686-w64-mingw32-windres -i "$release/$1" -O rc | sed -n "s/^ *VALUE \"$2\", \"\(.*\)\"$/\1/p"
}
numbers="${version//./, }"
for program in TAV_Wrapper.exe TAV.exe; do
  resource="$(i686-w64-mingw32-windres -i "$release/$program" -O rc)"
  for line in "FILEVERSION $numbers" "PRODUCTVERSION $numbers"; do
    grep -qx " $line" <<<"$resource" || fail "$program: no '$line'"
  done
  for name in FileVersion ProductVersion; do
    [ "$(version_value "$program" "$name")" = "$version" ] || fail "$program: $name is not $version"
  done
  for name in CompanyName ProductName FileDescription; do
    [ -n "$(version_value "$program" "$name")" ] || fail "$program: no $name"
  done
done
for name in CompanyName ProductName; do
  [ "$(version_value TAV.exe "$name")" = "$(version_value TAV_Wrapper.exe "$name")" ] ||
    fail "the programs differ in $name"
done
ok "version resources: $version, product, company and description in both programs"

(cd "$release" && sha256sum --check --quiet SHA256SUMS) || fail "SHA256SUMS does not match the artefacts"
[ "$(cut -d' ' -f3 "$release/SHA256SUMS" | tr '\n' ' ')" = "${artefacts[*]} " ] || fail "SHA256SUMS lists other files"
for artefact in "${artefacts[@]}"; do
  if osslsigncode verify -in "$release/$artefact" >/dev/null 2>&1; then fail "unsigned build signed $artefact"; fi
done
ok "SHA256SUMS; no signature without a key"

# The second build: another folder with a path of another length, at the
# first one's source time (a commit made meanwhile does not change it).
second="$work/a-second-build-folder"
export -n CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
SOURCE_DATE_EPOCH="$(sed -n 's/^TAV_SOURCE_DATE_EPOCH:INTERNAL=//p' "$build_dir/CMakeCache.txt")"
export SOURCE_DATE_EPOCH
(cd "$root" && cmake --preset win32 -B "$second" -DCMAKE_C_COMPILER_LAUNCHER= -DCMAKE_CXX_COMPILER_LAUNCHER= \
  >"$work/configure.log" 2>&1) || { cat "$work/configure.log" >&2; exit 1; }
cmake --build "$second" -j2 --target tavori_release >"$work/build.log" 2>&1 || { cat "$work/build.log" >&2; exit 1; }
grep -q "UNSIGNED artefacts" "$work/build.log" || fail "the unsigned build did not say so"
for artefact in "${artefacts[@]}" SHA256SUMS; do
  cmp -s "$release/$artefact" "$second/release/$artefact" || fail "not reproducible: $artefact"
done
ok "reproducible: a second build elsewhere gives the same bytes"

# A throwaway CA and a code-signing certificate it issued.
keys="$work/keys"
mkdir "$keys"
password_used="throwaway-$RANDOM$RANDOM-password"
export TAV_SIGN_PASSWORD="$password_used"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$keys/ca.key" -out "$keys/ca.pem" -days 2 \
  -subj "/CN=Tavori throwaway test CA" -addext "basicConstraints=critical,CA:TRUE" \
  -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
openssl req -newkey rsa:2048 -nodes -keyout "$keys/signer.key" -out "$keys/signer.csr" \
  -subj "/CN=Tavori throwaway code signing" 2>/dev/null
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' \
  >"$keys/signer.ext"
openssl x509 -req -in "$keys/signer.csr" -CA "$keys/ca.pem" -CAkey "$keys/ca.key" -CAcreateserial -days 2 \
  -extfile "$keys/signer.ext" -out "$keys/signer.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$keys/signer.key" -in "$keys/signer.pem" -certfile "$keys/ca.pem" \
  -out "$keys/signer.p12" -passout env:TAV_SIGN_PASSWORD

cmake "$second" -DTAV_SIGN_PKCS12="$keys/signer.p12" >"$work/configure.log" 2>&1 ||
  { cat "$work/configure.log" >&2; exit 1; }
# --verbose: the log shows every command the build runs.
cmake --build "$second" -j2 --target tavori_release --verbose >"$work/build.log" 2>&1 ||
  { cat "$work/build.log" >&2; exit 1; }
grep -q "make_release: signed artefacts" "$work/build.log" || fail "the signed build did not say so"
if grep -qF "$TAV_SIGN_PASSWORD" "$work/build.log"; then fail "the password is in the build log"; fi
for artefact in "${artefacts[@]}"; do
  osslsigncode verify -CAfile "$keys/ca.pem" -in "$second/release/$artefact" >"$work/verify.log" 2>&1 ||
    { cat "$work/verify.log" >&2; fail "signed $artefact does not verify"; }
  # One byte in the middle changed: inside the code of a program, the cabinet of an MSI.
  cp "$second/release/$artefact" "$work/tampered"
  perl -e 'open(my $f, "+<:raw", $ARGV[0]) or die "$!\n"; my $at = int((-s $f) / 2);
           seek($f, $at, 0); read($f, my $byte, 1); seek($f, $at, 0); print {$f} chr((ord($byte) + 1) % 256);' \
    "$work/tampered"
  if osslsigncode verify -CAfile "$keys/ca.pem" -in "$work/tampered" >/dev/null 2>&1; then
    fail "$artefact verifies with a changed byte"
  fi
done
(cd "$second/release" && sha256sum --check --quiet SHA256SUMS) || fail "SHA256SUMS does not match the signed artefacts"
ok "signed with the throwaway CA: every artefact verifies, a changed byte fails, no password in the log"

# Without a timestamp server, signing again gives the same bytes.
cp -r "$second/release" "$work/signed-once"
rm -f "$second/release/SHA256SUMS"
cmake --build "$second" --target tavori_release >"$work/build.log" 2>&1 || { cat "$work/build.log" >&2; exit 1; }
for artefact in "${artefacts[@]}" SHA256SUMS; do
  cmp -s "$work/signed-once/$artefact" "$second/release/$artefact" || fail "signed again, $artefact differs"
done
ok "signed again without a timestamp server: the same bytes"

# password  expectation
cases=(
  "wrong-password|signing .* failed"
  "|TAV_SIGN_PASSWORD is not"
)
for case in "${cases[@]}"; do
  password="${case%%|*}" expected="${case#*|}"
  rm -f "$second/release/SHA256SUMS"
  if [ -n "$password" ]; then export TAV_SIGN_PASSWORD="$password"; else unset TAV_SIGN_PASSWORD; fi
  if cmake --build "$second" --target tavori_release >"$work/build.log" 2>&1; then
    fail "the build signed with ${password:-no password}"
  elif ! grep -q "$expected" "$work/build.log"; then
    fail "a build with ${password:-no password} did not say '$expected'"
  fi
done
ok "a wrong or missing password stops the build"

# The timestamp server setting reaches the signing: one that does not answer stops the build.
export TAV_SIGN_PASSWORD="$password_used"
cmake "$second" -DTAV_SIGN_TIMESTAMP_URL=http://127.0.0.1:9/ >"$work/configure.log" 2>&1 ||
  { cat "$work/configure.log" >&2; exit 1; }
if cmake --build "$second" --target tavori_release >"$work/build.log" 2>&1; then
  fail "the build signed without its timestamp server"
elif ! grep -q "signing TAV_Wrapper.exe failed" "$work/build.log"; then
  fail "the build without its timestamp server did not say that signing failed"
fi
ok "a timestamp server that does not answer stops the build"

# An extension ID given to the build lands in JSON: one of another form is refused.
# setting|value
cases=(
  'TAV_CHROME_EXTENSION_ID|mblpkikokepdkceenhnccllbdbchmdbq'
  'TAV_CHROME_EXTENSION_ID|mblpkikokepdkceenhnccllbdbchmdb'
  'TAV_EDGE_EXTENSION_ID|mblpkikokepdkceenhnccllbdbchmdb"'
  'TAV_FIREFOX_EXTENSION_ID|tavori@kelvarist.vandrel"], "x": ["'
  'TAV_FIREFOX_EXTENSION_ID|tavori'
)
for case in "${cases[@]}"; do
  if cmake "$second" "-D${case%%|*}=${case#*|}" >"$work/configure.log" 2>&1; then
    fail "configure took ${case%%|*}=${case#*|}"
  fi
  cmake "$second" "-D${case%%|*}=" >/dev/null 2>&1
done
ok "extension IDs of another form are refused"
exit "$failed"
