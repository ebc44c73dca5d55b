#!/usr/bin/env bash
# Signing with the maker's certificate, here a throwaway one made for this
# run: the signatures verify over the right bytes, the signed modules still
# pass the module checks and run under Wine, removing a signature gives back
# the tested bytes, and a certificate that cannot be used, or a timestamp
# server that does not answer, stops the packaging with a clear error and
# nothing written.
#   signing_test.sh SOURCE_DIR MODULE32 MODULE64 MODULE_TEST HOST_PROGRAM
# MODULE64, MODULE_TEST and HOST_PROGRAM are the x64 build's; its programs run through scripts/wine-run.sh.
set -u
top=$1
module32=$2
module64=$3
module_test=$4
host=$5
. "$top/tests/support/checks.sh"
require_modules "$module32" "$module64"
command -v osslsigncode >/dev/null && command -v openssl >/dev/null ||
  { echo "skipped: osslsigncode or openssl is not installed (scripts/install-deps.sh)"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
openssl req -x509 -newkey rsa:2048 -nodes -subj "/CN=ZYT throwaway signer" -days 2 \
  -addext extendedKeyUsage=codeSigning -keyout key.pem -out cert.pem 2>/dev/null &&
  openssl pkcs12 -export -inkey key.pem -in cert.pem -out maker.pfx -passout pass:right-password ||
  { echo "FAILED: openssl could not make the throwaway certificate"; exit 1; }
head -c 600 maker.pfx > cut.pfx
digest() {  # digest Current|Calculated VERIFY_OUTPUT: the digest signed, or that of the file's bytes
  sed -n "s/^$1 message digest *: *//p" <<< "$2"
}
trusted() { osslsigncode verify -CAfile cert.pem -in "$1" >/dev/null 2>&1; }
package() {  # package NAME: package.sh into NAME.zip and NAME-setup.exe, its errors into NAME.err
  "$top/scripts/package.sh" "$module32" "$module64" "$1.zip" "$1-setup.exe" >/dev/null 2>"$1.err"
}

echo "== certificates that cannot be used, and a timestamp server that does not answer"
# NAME|PFX|PASSWORD|TIMESTAMP SERVER|what the error must say
while IFS='|' read -r name pfx password server message; do
  LUMACUT_SIGN_PFX=$pfx LUMACUT_SIGN_PASSWORD=$password LUMACUT_SIGN_TIMESTAMP=$server package "$name"
  status=$?
  check "$name: fails, saying \"$message\"" sh -c "test $status != 0 && grep -q '$message' '$name.err'"
  check "$name: writes nothing" test -z "$(ls -d "$name"* 2>/dev/null | grep -v "^$name.err$")"
done <<'CASES'
missing|absent.pfx|right-password||no certificate file at absent.pfx
wrong-password|maker.pfx|wrong-password||wrong password for maker.pfx
corrupt|cut.pfx|right-password||cut.pfx is not a readable PKCS#12 certificate file
no-timestamp|maker.pfx|right-password|http://127.0.0.1:9/|timestamp server http://127.0.0.1:9/ did not answer twice
CASES

echo "== signed"
LUMACUT_SIGN_PFX=maker.pfx LUMACUT_SIGN_PASSWORD=right-password package signed
check "package.sh signs" test $? = 0
unzip -q signed.zip
dir=ZYT_Lumacut-0.1
for file in "$dir/32-bit/ZYT_Lumacut.8li" "$dir/64-bit/ZYT_Lumacut.8li" signed-setup.exe; do
  # Without the throwaway root trusted, the chain fails but the digest of
  # the bytes must match the signed one; with it trusted, all verifies.
  untrusted=$(osslsigncode verify -in "$file" 2>&1)
  check "$file: a SHA-256 signature over its very bytes" \
    test -n "$(digest Current "$untrusted")" -a "$(digest Current "$untrusted")" = "$(digest Calculated "$untrusted")" \
    -a "$(sed -n 's/^Message digest algorithm *: *//p' <<< "$untrusted" | sort -u)" = SHA256
  check "$file: only the chain is untrusted" grep -q "self-signed certificate" <<< "$untrusted"
  check "$file: verifies with the signer trusted" trusted "$file"
done
cp "$dir/64-bit/ZYT_Lumacut.8li" altered.8li
printf 'X' | dd of=altered.8li bs=1 seek=4096 conv=notrunc 2>/dev/null
altered=$(osslsigncode verify -CAfile cert.pem -in altered.8li 2>&1)
check "an altered signed module fails, its digest no longer the signed one" \
  test $? != 0 -a -n "$(digest Current "$altered")" -a "$(digest Current "$altered")" != "$(digest Calculated "$altered")"
check "the checksum file is of the signed modules" sh -c "cd $dir && sha256sum -c --quiet SHA256SUMS.txt"
for bits in 32 64; do
  osslsigncode remove-signature -in "$dir/$bits-bit/ZYT_Lumacut.8li" -out "unsigned$bits.8li" >/dev/null 2>&1
done
check "removing the signatures gives back the tested modules" \
  sh -c "cmp -s unsigned32.8li '$module32' && cmp -s unsigned64.8li '$module64'"
# What anyone can check without the certificate.
mkdir -p rebuilt/32-bit rebuilt/64-bit
cp "$module32" rebuilt/32-bit/ZYT_Lumacut.8li
cp "$module64" rebuilt/64-bit/ZYT_Lumacut.8li
check "compare-release.sh matches both signed modules to the unsigned build" \
  test "$("$top/scripts/compare-release.sh" signed.zip rebuilt | grep -c 'same bytes as the rebuild (signed')" = 2

echo "== the signed modules as the host sees them"
for module in 64-bit:amd64 32-bit:i386; do
  "$top/scripts/wine-run.sh" "$module_test" "--module=$work/$dir/${module%:*}/ZYT_Lumacut.8li" "--machine=${module#*:}" \
    > "module-${module%:*}.log" 2>&1
  check "the signed ${module%:*} module passes the module checks" test $? = 0
done
convert -size 64x48 gradient: PNG24:ramp.png
"$top/scripts/wine-run.sh" "$host" run --mode 1 ramp.png --mask mask.png --module "$dir/64-bit/ZYT_Lumacut.8li" > host.log 2>&1
status=$?
check "the signed x64 module loads and runs under Wine" test $status = 0 -a -s mask.png
tally
