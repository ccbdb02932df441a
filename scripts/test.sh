#!/usr/bin/env bash
# Builds and runs every test: the normal build, the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzz targets over
# their corpora with libFuzzer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh "$@"
export QT_QPA_PLATFORM=offscreen

echo "== Layers"
bash scripts/check_layers.sh

echo "== Build and test"
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build --output-on-failure --parallel "$(nproc)"

echo "== Installation and Debian package"
bash scripts/check_install.sh build

echo "== Sanitizers (address, undefined)"
bash scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DTESSEL_SANITIZE=ON -DTESSEL_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure --parallel "$(nproc)"

echo "== Fuzz targets over their corpora (libFuzzer)"
bash scripts/build.sh build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESSEL_FUZZ=ON -DTESSEL_QT=OFF -DTESSEL_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
for corpus in fuzz/corpus/*/; do
  target=$(basename "$corpus")
  ./build-fuzz/fuzz/fuzz_$target -runs=0 "$corpus"
done
echo "All test stages passed."
