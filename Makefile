# SPDX-License-Identifier: MIT
# The two set-up commands are `make run` and `make test`; each installs what
# it is missing first, and only that. `make check` and the test-* targets run
# one tier of the tests, installing only that tier's set (docs/testing.md).
SHELL := /bin/bash
.SHELLFLAGS := -euo pipefail -c

.PHONY: all deps test check run bench deb dist release web clean
.PHONY: test-windows test-x11 test-wayland test-web test-packages
.PHONY: build-native build-win32 build-win64 build-asan build-tsan build-fuzz

all: build-native build-win32 build-win64

# The set of packages that the target asked for installs first; a target's
# value holds for what it depends on too.
DEPS := test
deps:
	@./scripts/install-deps.sh $(DEPS)

# A static pattern rule: make never looks up implicit rules for phony targets.
build-native build-win32 build-win64 build-asan build-tsan build-fuzz: build-%: deps
	cmake --preset $* >/dev/null
	cmake --build --preset $*

# Side by side: the page's runs in Firefox and in WebKit, and the cases of
# the hack and of quillant-wayland, each on a private display or compositor,
# mostly wait on frames (make test runs them three at a time, the two
# browsers' long runs beside the rest); under the sanitizers every case is a
# process of its own; the fuzzers share nothing.
side_by_side := ^(page[.](firefox|webkit)|(hack|locker|wayland)[.].*)$$

# The quick loop: the native build and every test that needs no Wine, no
# browser, no compositor and no package tool.
check: DEPS := check
check: build-native
	ctest --preset check -j2

# wine-check says what is missing before any Windows test depends on it.
test-windows: DEPS := test-windows
test-windows: build-win32 build-win64 dist
	./scripts/wine-check 32 build/win32/tools/wgl-probe.exe 64 build/win64/tools/wgl-probe.exe
	./scripts/two-at-once 'ctest --preset win32' 'ctest --preset win64 -LE packages'

test-x11: DEPS := test-x11
test-x11: build-native
	ctest --preset x11 -j2

test-wayland: DEPS := test-wayland
test-wayland: build-native
	ctest --preset wayland -j2

test-web: DEPS := test-web
test-web: build-native web
	ctest --preset web -E '$(side_by_side)'
	ctest --preset web -R '$(side_by_side)' -j2

test-packages: DEPS := test-packages
test-packages: build-native dist web
	ctest --preset packages
	ctest --preset win64 -L packages

test: build-native build-win32 build-win64 build-asan build-tsan build-fuzz dist web
	./scripts/wine-check 32 build/win32/tools/wgl-probe.exe 64 build/win64/tools/wgl-probe.exe
	ctest --preset native -E '$(side_by_side)'
	ctest --preset native -R '$(side_by_side)' -j3
	./scripts/two-at-once 'ctest --preset win32' 'ctest --preset win64'
	ctest --preset asan -j2
	ctest --preset tsan -j2
	ctest --preset fuzz -j2

# The 32-bit saver alone, shown under Wine.
run:
	@./scripts/install-deps.sh run
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 --target quillant wgl-probe
	./scripts/run-saver

# The Linux package alone, with the native tool chain: what a distribution
# builds.
deb:
	@./scripts/install-deps.sh deb
	./scripts/make-deb dist

# The page, in dist/web/: what any static file server serves as it is.
web:
	@./scripts/install-deps.sh web
	cmake --preset web >/dev/null
	cmake --build --preset web
	rm -rf dist/web
	mkdir -p dist
	cp -r build/web/page dist/web
	cp build/web/quillant.html dist/quillant.html

# The Windows installer and zip, and the Linux package, in dist/.
dist: DEPS := test-packages
dist: build-win32 build-win64
	./scripts/make-dist build/win32 build/win64 dist
	./scripts/make-deb dist

# Everything that users download, into dist/, with SHA256SUMS.
release: DEPS := test-packages
release: build-win32 build-win64 web
	./scripts/make-release dist

bench: build-native web
	./build/native/bench/quillant_bench
	./bench/frame-cost build/native
	./bench/wayland-frame-cost build/native
	./bench/idle-cost build/native
	node bench/page-cost.mjs dist/web
	node bench/moment-open.mjs dist/web build/native/tools/quillant-snapshot

clean:
	rm -rf build dist
