# The two entry points of a fresh machine: `make demo` and `make test`.
.PHONY: deps configure build test test-asan test-fuzz test-windows windows-qt demo bench screenshot install package package-windows clean

deps:
	@scripts/install-deps

configure: deps
	cmake --preset default

build: configure
	cmake --build --preset default

# The whole suite runs last, so its summary closes the output.
test: build
	$(MAKE) test-fuzz
	$(MAKE) test-asan
	$(MAKE) test-windows
	ctest --preset default

test-asan: deps
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

test-fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	ctest --preset fuzz

# The static Windows Qt of both architectures, built once into ~/.cache/valdina.
windows-qt: deps
	scripts/build-windows-qt x64
	scripts/build-windows-qt x86

# Both Windows architectures, cross-built with MinGW-w64 and tested under Wine,
# the window included (each builds its Windows Qt first when the cache lacks it).
test-windows: deps
	scripts/test-windows windows-x64
	scripts/test-windows windows-x86

demo: build
	scripts/demo

bench: build
	scripts/bench

screenshot: build
	scripts/screenshot

PREFIX ?= /usr/local
install: build
	cmake --install build/default --prefix $(PREFIX)

# The Debian packages valdina and valdina-sim, into build/default/packages.
package: build
	cmake --build --preset default --target package

# Per Windows architecture, a zip and an installer (NSIS) of the window and
# valdina-cli.exe, into build/windows-*/packages.
package-windows: windows-qt
	for preset in windows-x86 windows-x64; do \
	  cmake --preset $$preset && cmake --build --preset $$preset --target package || exit 1; \
	done

clean:
	rm -rf build
