#!/usr/bin/env bash
# Builds the picture fuzzer: fetches Debian's source of the libjpeg-turbo
# version installed on this machine, builds it statically with the fuzzer's
# instrumentation, then builds the fuzz target against it and makes the seed
# corpus. Everything lands in fuzz/work/, which git ignores.
#
# Usage: fuzz/build.sh            (re-running reuses what is already built)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
work="$here/work"
jobs="${JOBS:-2}"

for tool in clang clang++ cmake ninja nm ldd dpkg-source apt-get dpkg-query; do
    command -v "$tool" >/dev/null || {
        echo "build.sh: $tool is missing (packages: clang, libclang-rt-14-dev, cmake, ninja-build, dpkg-dev)" >&2
        exit 1
    }
done

# The library the program links at run time decides which source we fuzz.
binary_package=libjpeg62-turbo
version="$(dpkg-query -W -f='${Version}' "$binary_package")"
source_package="$(dpkg-query -W -f='${source:Package}' "$binary_package")"
upstream="${version#*:}"
upstream="${upstream%-*}"
echo "build.sh: instrumenting $source_package $version"

mkdir -p "$work"
jpeg_src="$work/jpeg-src/$source_package-$upstream"
jpeg_build="$work/jpeg-build"
jpeg_prefix="$work/jpeg-install"

# --- 1. Debian's source package of the installed version -------------------
# The source entries are derived from the machine's own binary entries, in a
# private apt state under work/, so the system's apt setup is left alone.
fetch_source() {
    local apt="$work/apt"
    rm -rf "$apt"
    mkdir -p "$apt/sources.list.d" "$apt/lists/partial" "$apt/cache/archives/partial"
    : >"$apt/sources.list"
    if [[ -f /etc/apt/sources.list ]]; then
        sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list >"$apt/sources.list"
    fi
    local n=0 file
    for file in /etc/apt/sources.list.d/*.sources; do
        [[ -f "$file" ]] || continue
        # deb822 stanzas: keep those that carry binaries, turned into sources.
        awk 'BEGIN { RS = ""; ORS = "\n\n" }
             /(^|\n)Types:[^\n]*deb([ \t\n]|$)/ {
                 sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print
             }' "$file" >"$apt/sources.list.d/src-$n.sources"
        n=$((n + 1))
    done
    for file in /etc/apt/sources.list.d/*.list; do
        [[ -f "$file" ]] || continue
        sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$file" >"$apt/sources.list.d/src-$n.list"
        n=$((n + 1))
    done
    local -a options=(
        -o "Dir::Etc::SourceList=$apt/sources.list"
        -o "Dir::Etc::SourceParts=$apt/sources.list.d"
        -o "Dir::State::Lists=$apt/lists"
        -o "Dir::Cache=$apt/cache"
        -o "APT::Sandbox::User=root"
    )
    apt-get "${options[@]}" -q update
    rm -rf "$work/jpeg-src"
    mkdir -p "$work/jpeg-src"
    (cd "$work/jpeg-src" && apt-get "${options[@]}" -q source "$source_package=$version")
    [[ -f "$jpeg_src/CMakeLists.txt" ]] || {
        echo "build.sh: no source tree at $jpeg_src" >&2
        exit 1
    }
}
[[ -f "$jpeg_src/CMakeLists.txt" ]] || fetch_source

# --- 2. The instrumented static library -------------------------------------
# As upstream's own fuzz build: static only, no SIMD (the assembly is not
# instrumented), coverage hooks without the fuzzer's main.
sanitizers="-fsanitize=fuzzer-no-link,address,undefined"
if [[ ! -f "$jpeg_prefix/lib/libjpeg.a" ]]; then
    cmake -S "$jpeg_src" -B "$jpeg_build" -G Ninja \
        -DCMAKE_C_COMPILER=clang \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_C_FLAGS="$sanitizers -fno-sanitize-recover=undefined -fno-omit-frame-pointer" \
        -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g -DNDEBUG" \
        -DENABLE_SHARED=0 -DENABLE_STATIC=1 -DWITH_SIMD=0 -DWITH_TURBOJPEG=0 \
        -DWITH_ARITH_ENC=1 -DWITH_ARITH_DEC=1
    cmake --build "$jpeg_build" -j "$jobs" --target jpeg-static
    # Only the library and its public headers are needed; the install rules
    # would also want the programs, which are not built.
    mkdir -p "$jpeg_prefix/lib" "$jpeg_prefix/include"
    cp "$jpeg_build/libjpeg.a" "$jpeg_prefix/lib/libjpeg.a"
    cp "$jpeg_src/jpeglib.h" "$jpeg_src/jmorecfg.h" "$jpeg_src/jerror.h" \
        "$jpeg_build/jconfig.h" "$jpeg_prefix/include/"
fi
# grep -c reads to the end, so pipefail sees no broken pipe.
if ! nm "$jpeg_prefix/lib/libjpeg.a" 2>/dev/null | grep -c __asan_report >/dev/null; then
    echo "build.sh: $jpeg_prefix/lib/libjpeg.a is not instrumented" >&2
    exit 1
fi

# --- 3. The fuzz target and the seed maker ----------------------------------
cmake -S "$here" -B "$work/build" -G Ninja \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DFUZZ_JPEG_PREFIX="$jpeg_prefix"
cmake --build "$work/build" -j "$jobs"

fuzzer="$work/build/pictureFuzzer"
# The decoder must be the instrumented copy inside the binary, never the
# system's shared library.
if ldd "$fuzzer" | grep -c libjpeg >/dev/null; then
    echo "build.sh: $fuzzer links a shared libjpeg" >&2
    ldd "$fuzzer" >&2
    exit 1
fi
nm "$fuzzer" | grep -c ' T jpeg_read_header$' >/dev/null || {
    echo "build.sh: $fuzzer does not contain the decoder" >&2
    exit 1
}

# --- 4. Seeds ----------------------------------------------------------------
rm -rf "$work/seeds"
mkdir -p "$work/seeds" "$work/corpus"
"$work/build/makeSeeds" "$work/seeds"
echo "build.sh: fuzzer $fuzzer, seeds in $work/seeds"
