# Front door: `make` builds both targets, `make test` sets up the machine, builds and runs
# every native and Wine test, `make demo` runs a real update end to end.
JOBS ?= $(shell nproc)

.PHONY: all native win32 test bootstrap bench fuzz demo clean format

all: native win32

bootstrap:
	@./scripts/bootstrap

build/native/Makefile:
	cmake --preset native >/dev/null

build/win32/Makefile:
	cmake --preset win32 >/dev/null

native: build/native/Makefile
	cmake --build build/native -j $(JOBS)

win32: build/win32/Makefile
	cmake --build build/win32 -j $(JOBS)

test: bootstrap
	$(MAKE) all
	ctest --test-dir build/native --output-on-failure -j $(JOBS)
	ctest --test-dir build/win32 --output-on-failure -LE e2e
	@# The end-to-end groups drive real windows under Wine on a shared machine; a group that
	@# fails is run once more, so a real fault fails twice.
	ctest --test-dir build/win32 --output-on-failure -L e2e --repeat until-pass:2

bench: bootstrap all
	./scripts/bench

fuzz: bootstrap
	./scripts/fuzz

demo: bootstrap all
	./scripts/demo

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
