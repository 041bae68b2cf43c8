#!/usr/bin/env bash
# Makes the signatures the update tests check, in the build tree: a test root
# (trusted by the tests inside their own Wine prefix only), leaves it issued,
# a revocation list, a TLS certificate for the local https server, and one
# small program signed in each way that matters.
#   make_signed_setups.sh OUT_FOLDER PROGRAM.exe
# The keys are throwaway test keys; they never leave the build tree.
set -euo pipefail

out=$1
program=$2
mkdir -p "$out"
cd "$out"
rm -f ./*.pem ./*.key ./*.der ./*.crl ./*.exe ./*.txt index* serial* crlnumber*

# The revocation list is read from the build tree through Wine's drive Z:,
# the host's root.
crl_url="file:///Z:$out/root.crl"

cat >openssl.cnf <<EOF
[ca]
default_ca = test_ca
[test_ca]
database = index.txt
crlnumber = crlnumber.txt
default_md = sha256
default_crl_days = 3650
[root]
basicConstraints = critical, CA:true
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
[signer]
basicConstraints = critical, CA:false
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
crlDistributionPoints = URI:$crl_url
authorityKeyIdentifier = keyid
[server]
basicConstraints = critical, CA:false
keyUsage = critical, digitalSignature, keyEncipherment
extendedKeyUsage = serverAuth
subjectAltName = IP:127.0.0.1, DNS:127.0.0.1, DNS:localhost
crlDistributionPoints = URI:$crl_url
authorityKeyIdentifier = keyid
EOF
touch index.txt
echo 01 >crlnumber.txt

quiet() { "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; "$@"; }; }

quiet openssl req -x509 -newkey rsa:2048 -nodes -keyout root.key -out root.pem -days 3650 \
    -subj "/C=SE/O=Trevolt Test/CN=Kelvane Test Root" -config openssl.cnf -extensions root
openssl x509 -in root.pem -outform DER -out root.der

# issue NAME SUBJECT SERIAL EXTENSIONS: a key and a certificate from the root.
issue() {
    quiet openssl req -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.csr" -subj "$2"
    quiet openssl x509 -req -in "$1.csr" -CA root.pem -CAkey root.key -set_serial "$3" \
        -days 3650 -extfile openssl.cnf -extensions "$4" -out "$1.pem"
    rm -f "$1.csr"
}
# Fixed serial numbers: Wine keeps fetched revocation lists in the prefix, and
# a list made by an earlier build must still name the revoked leaf.
issue publisher "/C=SE/O=Trevolt Test/CN=Kelvane Test Publisher" 0x4b01 signer
issue stranger "/C=SE/O=Someone Else/CN=Someone Else" 0x4b02 signer
issue revoked "/C=SE/O=Trevolt Test/CN=Kelvane Revoked Publisher" 0x4b03 signer
issue server "/CN=127.0.0.1" 0x4b04 server

# A root nobody trusts, with a leaf of its own; its signature carries both.
quiet openssl req -x509 -newkey rsa:2048 -nodes -keyout outsider-root.key -out outsider-root.pem \
    -days 3650 -subj "/C=SE/O=Nobody/CN=Untrusted Root" -config openssl.cnf -extensions root
quiet openssl req -newkey rsa:2048 -nodes -keyout untrusted.key -out untrusted.csr \
    -subj "/C=SE/O=Trevolt Test/CN=Kelvane Untrusted Publisher"
quiet openssl x509 -req -in untrusted.csr -CA outsider-root.pem -CAkey outsider-root.key \
    -set_serial 0x4b05 -days 3650 -extfile openssl.cnf -extensions signer -out untrusted.pem
cat untrusted.pem outsider-root.pem >untrusted-chain.pem
rm -f untrusted.csr

quiet openssl ca -config openssl.cnf -cert root.pem -keyfile root.key -revoke revoked.pem \
    -crl_reason keyCompromise
quiet openssl ca -config openssl.cnf -cert root.pem -keyfile root.key -gencrl -out root.crl.pem
openssl crl -in root.crl.pem -outform DER -out root.crl

# The thumbprints the tests pin, as the certificate viewer shows them.
thumbprint() { openssl x509 -in "$1.pem" -noout -fingerprint "-$2" | sed 's/.*=//; s/://g'; }
thumbprint publisher sha256 >publisher.sha256.txt
thumbprint revoked sha1 >revoked.sha1.txt
thumbprint untrusted sha256 >untrusted.sha256.txt

# sign KEY CERTIFICATES OUT
sign() {
    quiet osslsigncode sign -certs "$2" -key "$1.key" -h sha256 -n "Kelvane Test Setup" \
        -in "$program" -out "$3"
}
sign publisher publisher.pem setup-publisher.exe
sign stranger stranger.pem setup-stranger.exe
sign revoked revoked.pem setup-revoked.exe
sign untrusted untrusted-chain.pem setup-untrusted.exe
# Signed by the publisher, then one byte changed in the part the signature
# covers (the DOS stub's text): the signature no longer matches the file.
cp setup-publisher.exe setup-tampered.exe
printf 't' | dd of=setup-tampered.exe bs=1 seek=78 conv=notrunc status=none
cp "$program" setup-unsigned.exe
rm -f ./*.old index.txt.attr*
