# The two entry points of a fresh machine: `make demo` and `make test`.
.PHONY: deps configure build test test-asan test-fuzz demo bench screenshot install package clean

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
	ctest --preset default

test-asan: deps
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

test-fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	ctest --preset fuzz

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

clean:
	rm -rf build
