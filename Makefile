# The two commands of the README: `make run` and `make test`.
BUILD := build
JOBS := 2

.PHONY: run test deps build format-check

run: build
	@if [ ! -e $(BUILD)/database.mdb ]; then $(BUILD)/recorvan-db demo $(BUILD)/database.mdb; fi
	$(BUILD)/recorvan

test: build format-check
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS)

format-check:
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

# The Debian package of the program: build/recorvan_<version>_<arch>.deb.
.PHONY: package
package: build
	cd $(BUILD) && cpack -G DEB
