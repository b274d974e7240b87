# The Debian packages that building, testing and running need; sourced by run.sh and test.sh.
BUILD_PACKAGES=(cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev help2man
                libssl-dev libxxhash-dev libgpgme-dev)
TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev libgcrypt20-dev libmhash-dev
               libcrypto++-dev libssl-dev zlib1g-dev rhash python3 clang-format
               desktop-file-utils appstream lintian dpkg-dev file clang libclang-rt-14-dev
               libfuse3-dev fuse3 b3sum xxhash qt6-translations-l10n gnupg hashdeep liburing-dev)
# Fuzzing (scripts/fuzz.sh) needs libFuzzer beside clang.
FUZZ_PACKAGES=(clang libclang-rt-14-dev libfuzzer-14-dev)
# Chinese captions need a CJK font, and file icons an icon theme; a fresh desktop may have neither.
# Qt's own texts (dialogs, standard buttons) are Chinese from its translations.
RUN_PACKAGES=(fonts-noto-cjk adwaita-icon-theme qt6-translations-l10n)

ensure_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing from Debian: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}
