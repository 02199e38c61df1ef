# The two commands a user needs: `make run` and `make test`.
BUILD_DIR ?= build
BOOK_DIR ?= $(or $(XDG_DATA_HOME),$(HOME)/.local/share)/tillbook

.PHONY: run test build deps bench format clean

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja >/dev/null
	@cmake --build $(BUILD_DIR)

run: build
	@mkdir -p "$(BOOK_DIR)"
	@test -f "$(BOOK_DIR)/data.mdb" || { test -x $(BUILD_DIR)/bin/tillbook-db && $(BUILD_DIR)/bin/tillbook-db init "$(BOOK_DIR)/data.mdb"; } || true
	@cd "$(BOOK_DIR)" && "$(CURDIR)/$(BUILD_DIR)/bin/tillbook"

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j2

bench: build
	@cmake --build $(BUILD_DIR) --target benchmarks

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD_DIR)
