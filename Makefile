# The two commands a user needs: `make run` and `make test`.
BUILD_DIR ?= build
# The same tree built by clang with AddressSanitizer and UndefinedBehaviorSanitizer, plus the
# libFuzzer harnesses; its tests and short fuzz runs are part of `make test`.
ASAN_DIR ?= build-asan
# The clang whose sanitizer runtime scripts/install-deps installs.
export TILLBOOK_CLANG_VERSION ?= 14
CLANGXX ?= clang++-$(TILLBOOK_CLANG_VERSION)
# `make test` (what CI runs) refuses warnings; `make check` and `make run` only show them.
WERROR ?= OFF
BOOK_DIR ?= $(or $(XDG_DATA_HOME),$(HOME)/.local/share)/tillbook

.PHONY: run test check configure build asan deps bench format clean install package

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DTILLBOOK_WERROR=$(WERROR) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR)

# Only the program and its book tool: no tests, no benchmarks.
run: configure
	@cmake --build $(BUILD_DIR) --target tillbook tillbook-db
	@mkdir -p "$(BOOK_DIR)"
	@test -f "$(BOOK_DIR)/data.mdb" || $(BUILD_DIR)/bin/tillbook-db init "$(BOOK_DIR)/data.mdb"
	@cd "$(BOOK_DIR)" && "$(CURDIR)/$(BUILD_DIR)/bin/tillbook"

asan: deps
	@cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_CXX_COMPILER=$(CLANGXX) -DTILLBOOK_SANITIZE=ON \
	  -DTILLBOOK_WERROR=$(WERROR) >/dev/null
	@cmake --build $(ASAN_DIR)

# The quick loop: one build, every test.
check: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j2

# Everything CI runs: both builds with warnings as errors, every test in each, and the Debian
# package built, validated and started from where it unpacks.
test: WERROR = ON
test: build asan
	@cd $(BUILD_DIR) && ctest --output-on-failure -j2
	@cd $(ASAN_DIR) && ctest --output-on-failure -j2
	@scripts/check-package $(BUILD_DIR)

# `make install PREFIX=/opt/tillbook` (default /usr/local); DESTDIR is honoured as usual.
PREFIX ?= /usr/local
install: configure
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_INSTALL_PREFIX=$(PREFIX) >/dev/null
	@cmake --build $(BUILD_DIR) --target tillbook tillbook-db desktop_files
	@cmake --install $(BUILD_DIR)

# The Debian package (build/tillbook_<version>_<arch>.deb), installing into /usr.
package: configure
	@cmake --build $(BUILD_DIR) --target tillbook tillbook-db desktop_files
	@cd $(BUILD_DIR) && cpack -G DEB

bench: build
	@cmake --build $(BUILD_DIR) --target benchmarks

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD_DIR) $(ASAN_DIR)
