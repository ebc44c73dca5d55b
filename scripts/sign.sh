#!/usr/bin/env bash
# Signs Windows programs with the maker's certificate (Authenticode,
# SHA-256, through osslsigncode), so that Windows names the publisher.
#   scripts/sign.sh --check   0: a certificate is set and opens; 3: none is set; 1: it cannot be used (said why)
#   scripts/sign.sh FILE...   sign each FILE in place; on failure FILE is left as it was
# The certificate comes from the environment, never from the repository:
#   LUMACUT_SIGN_PFX        the PKCS#12 (.pfx) file holding the key and the certificate chain
#   LUMACUT_SIGN_PASSWORD   its password
#   LUMACUT_SIGN_TIMESTAMP  an RFC 3161 timestamp server (optional): the signature then outlives the certificate
set -eu
pfx=${LUMACUT_SIGN_PFX:-}
url=${LUMACUT_SIGN_TIMESTAMP:-}
fail() { echo "sign.sh: $*" >&2; exit 1; }

check() {
  [ -n "$pfx" ] || return 3
  [ -f "$pfx" ] || fail "no certificate file at $pfx (LUMACUT_SIGN_PFX)"
  command -v osslsigncode >/dev/null || fail "osslsigncode is not installed (scripts/install-deps.sh)"
  local error
  # Certificates exported by older Windows use ciphers OpenSSL 3 keeps in its legacy provider.
  error=$(LUMACUT_SIGN_PASSWORD=${LUMACUT_SIGN_PASSWORD:-} openssl pkcs12 -in "$pfx" -passin env:LUMACUT_SIGN_PASSWORD -noout 2>&1) ||
    error=$(LUMACUT_SIGN_PASSWORD=${LUMACUT_SIGN_PASSWORD:-} openssl pkcs12 -legacy -in "$pfx" -passin env:LUMACUT_SIGN_PASSWORD -noout 2>&1) ||
    if grep -qi "mac verify" <<< "$error"; then
      fail "wrong password for $pfx (LUMACUT_SIGN_PASSWORD)"
    else
      fail "$pfx is not a readable PKCS#12 certificate file: $(head -1 <<< "$error")"
    fi
}

sign_once() {  # sign_once IN OUT [TIMESTAMP_URL]
  local stamp=() password=()
  [ -z "${3:-}" ] || stamp=(-ts "$3")
  # The password goes through a pipe, never the command line; osslsigncode
  # reads an empty one as an error, and needs none then.
  [ -z "${LUMACUT_SIGN_PASSWORD:-}" ] || password=(-readpass -)
  rm -f "$2"
  printf '%s' "${LUMACUT_SIGN_PASSWORD:-}" |
    timeout 60 osslsigncode sign -pkcs12 "$pfx" "${password[@]}" -h sha256 -n ZYT_Lumacut "${stamp[@]}" \
      -in "$1" -out "$2" > "$2.log" 2>&1
}

if [ "${1:-}" = --check ]; then
  check
  exit
fi
check || fail "no certificate set (LUMACUT_SIGN_PFX)"
for file in "$@"; do
  signed=$file.signed
  trap 'rm -f "$signed" "$signed.log"' EXIT
  if ! sign_once "$file" "$signed" "$url"; then
    if [ -n "$url" ] && sign_once "$file" "$signed"; then
      # Signing itself works: the server failed. It may have been busy once.
      echo "sign.sh: timestamp server $url did not answer; trying once more" >&2
      sleep 2
      sign_once "$file" "$signed" "$url" ||
        fail "timestamp server $url did not answer twice; $file is left unsigned ($(tail -1 "$signed.log"))"
    else
      fail "could not sign $file: $(grep -v '^$' "$signed.log" | tail -1)"
    fi
  fi
  chmod --reference="$file" "$signed"
  mv "$signed" "$file"
  rm -f "$signed.log"
done
