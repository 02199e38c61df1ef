# The two commands a user needs: `make run` and `make test`.
BUILD_DIR ?= build
# The same tree built by clang with AddressSanitizer and UndefinedBehaviorSanitizer, plus the
# libFuzzer harnesses; its tests and short fuzz runs are part of `make test`.
ASAN_DIR ?= build-asan
CLANGXX ?= $(or $(shell command -v clang++ 2>/dev/null),clang++-14)
BOOK_DIR ?= $(or $(XDG_DATA_HOME),$(HOME)/.local/share)/tillbook

.PHONY: run test build asan deps bench format clean

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja >/dev/null
	@cmake --build $(BUILD_DIR)

run: build
	@mkdir -p "$(BOOK_DIR)"
	@test -f "$(BOOK_DIR)/data.mdb" || { test -x $(BUILD_DIR)/bin/tillbook-db && $(BUILD_DIR)/bin/tillbook-db init "$(BOOK_DIR)/data.mdb"; } || true
	@cd "$(BOOK_DIR)" && "$(CURDIR)/$(BUILD_DIR)/bin/tillbook"

asan: deps
	@cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_CXX_COMPILER=$(CLANGXX) -DTILLBOOK_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_DIR)

test: build asan
	@cd $(BUILD_DIR) && ctest --output-on-failure -j2
	@cd $(ASAN_DIR) && ctest --output-on-failure -j2

bench: build
	@cmake --build $(BUILD_DIR) --target benchmarks

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD_DIR) $(ASAN_DIR)
