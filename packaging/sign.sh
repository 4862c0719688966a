#!/bin/sh
# Signs a Windows program, installer or MSI in place with Authenticode, when the publisher gives a
# certificate and its key, both PEM files:
#   RUNBY_SIGN_CERT      the certificate (with its chain)
#   RUNBY_SIGN_KEY       the private key
#   RUNBY_SIGN_PASSWORD  the key's password, if it has one
#   RUNBY_TIMESTAMP_URL  a time-stamp server, if one is to vouch for the time of signing
# Without a certificate and a key it does nothing.
# usage: sign.sh FILE
set -eu
[ -n "${RUNBY_SIGN_CERT:-}" ] && [ -n "${RUNBY_SIGN_KEY:-}" ] || exit 0
file=$1
set -- -certs "$RUNBY_SIGN_CERT" -key "$RUNBY_SIGN_KEY" -h sha256 -n Runby \
    -i https://www.tarnvale.example/
[ -z "${RUNBY_SIGN_PASSWORD:-}" ] || set -- "$@" -pass "$RUNBY_SIGN_PASSWORD"
[ -z "${RUNBY_TIMESTAMP_URL:-}" ] || set -- "$@" -ts "$RUNBY_TIMESTAMP_URL"
osslsigncode sign "$@" -in "$file" -out "$file.signed" >/dev/null
mv "$file.signed" "$file"
