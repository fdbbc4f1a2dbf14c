# The two entry points of a fresh machine: `make demo` and `make test`.
.PHONY: deps configure build test test-asan test-fuzz demo bench screenshot install clean

deps:
	@scripts/install-deps

configure: deps
	cmake --preset default

build: configure
	cmake --build --preset default

test: build
	ctest --preset default
	$(MAKE) test-asan
	$(MAKE) test-fuzz

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

clean:
	rm -rf build
