# The two commands of the README: `make run` and `make test`.
BUILD := build
JOBS := 2
# In CI (CI=true) a compiler warning fails the build.
WERROR := $(if $(filter true,$(CI)),ON,OFF)

.PHONY: run test deps build format-check

run: build
	@if [ ! -e $(BUILD)/database.mdb ]; then $(BUILD)/recorvan-db demo $(BUILD)/database.mdb; fi
	$(BUILD)/recorvan

# The format check comes first: a badly formatted tree fails before the long build.
test: format-check
	@$(MAKE) --no-print-directory build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRECORVAN_WERROR=$(WERROR)
	cmake --build $(BUILD) -j$(JOBS)

format-check: deps
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

# The Debian package of the program: build/recorvan_<version>_<arch>.deb.
.PHONY: package
package: build
	cd $(BUILD) && cpack -G DEB

# Build habits: the whole suite under the address and undefined-behaviour sanitizers (in its
# own folder), every benchmark with its summary line, and clang-tidy on src/ and tools/.
SANITIZED := build-asan

.PHONY: test-sanitized bench lint

test-sanitized: deps
	cmake -S . -B $(SANITIZED) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRECORVAN_WERROR=$(WERROR) \
		-DRECORVAN_SANITIZE=address,undefined
	cmake --build $(SANITIZED) -j$(JOBS)
	cd $(SANITIZED) && ctest --output-on-failure -j$(JOBS)

bench: build
	cmake --build $(BUILD) --target benchmarks -j$(JOBS)
	@bash bench/run.sh $(BUILD)

lint: build
	@bash scripts/lint.sh $(BUILD)
