# Sourced by the other scripts: the Debian packages each of them needs, and how long one test
# may run.

# building and running Wendale
run_packages=(g++ cmake make qt6-base-dev fonts-liberation)
# the tests run the phone tools against the simulated GSM terminal, socat making pty pairs;
# the tests and bench_remote start a network serial server to serve remote ports
test_packages=(gammu gsm-utils socat ser2net)
# scripts/test-package.sh: building the Debian package and checking it
package_check_packages=(dpkg-dev lintian appstream desktop-file-utils)
# scripts/test-fuzz.sh: clang and libFuzzer
fuzz_packages=(clang libclang-rt-dev)

# Seconds CTest gives one test before it stops it, in the plain and the sanitizer build alike.
: "${WENDALE_TEST_TIMEOUT:=900}"
