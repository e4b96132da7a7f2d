#!/usr/bin/env bash
# Without a certificate nothing is signed; with one (a throwaway made here)
# the program, the installer and the uninstaller carry a signature that
# verifies against it, and the signed installer still installs.
#   signing.sh VERSION DIST-DIR CLOCK-POKE.exe WINEPREFIX
. "$(dirname "$0")/common.sh"
make_packages=$source/packaging/make-packages

# "Signature verification: ok" against CERT, else the reason.
verified() { osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >"$work/verify.log" 2>&1; }
unsigned() { osslsigncode extract-signature -in "$1" -out "$work/sig.der" >/dev/null 2>&1 && return 1; return 0; }

# The build's own downloads were made without a certificate.
unzip -p "$zip" velmor-clock.exe >"$work/program.exe"
unsigned "$setup" && unsigned "$work/program.exe" && pass "unsigned without a certificate" ||
  fail "the build's downloads carry a signature"
"$make_packages" --program "$work/program.exe" --version "$version" --out "$work/plain" >"$work/plain.log" 2>&1
grep -q "nothing is signed" "$work/plain.log" && pass "make-packages says it signs nothing" ||
  fail "make-packages without a certificate said: $(cat "$work/plain.log")"

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Velmor Clock test signer" \
  -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" >/dev/null 2>&1 ||
  { fail "openssl could not make a certificate"; exit 1; }
VELMOR_SIGN_CERT=$work/cert.pem VELMOR_SIGN_KEY=$work/key.pem \
  "$make_packages" --program "$work/program.exe" --version "$version" --out "$work/signed" >"$work/signed.log" 2>&1 ||
  { fail "make-packages with a certificate: $(cat "$work/signed.log")"; exit 1; }
signed_setup=$work/signed/velmor-clock-$version-setup.exe
signed_zip=$work/signed/velmor-clock-$version-win64.zip
unzip -p "$signed_zip" velmor-clock.exe >"$work/signed-program.exe"
for file in "$signed_setup" "$work/signed-program.exe"; do
  verified "$file" && pass "$(basename "$file") is signed" || fail "$(basename "$file"): $(tail -3 "$work/verify.log")"
done
(cd "$work/signed" && sha256sum -c --quiet SHA256SUMS) && pass "SHA256SUMS holds the signed files' sums" ||
  fail "SHA256SUMS does not match the signed files"

# The uninstaller is made inside the installer: it is checked once installed.
install_silently "$signed_setup" || exit 1
verified "$(install_dir)/uninstall.exe" && pass "the uninstaller is signed" ||
  fail "uninstall.exe: $(tail -3 "$work/verify.log")"
verified "$(installed_program)" && pass "the installed program is signed" || fail "the installed program is not signed"

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
