# The entry points a person types: make run, make test, make bench; make install, make package
# and make uninstall for an installed game (PREFIX and DESTDIR as usual).
BUILD      ?= build
PREFIX     ?= /usr/local
JOBS       ?= $(shell nproc)
SANITIZE   ?= 0

ifeq ($(SANITIZE),1)
  TEST_BUILD := $(BUILD)-sanitize
  TEST_FLAGS := -DCD_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
else
  TEST_BUILD := $(BUILD)
  TEST_FLAGS := -DCMAKE_BUILD_TYPE=Release
endif

.PHONY: run test bench build bootstrap clean install package uninstall fuzz soak

bootstrap:
	@scripts/bootstrap

build: bootstrap
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DCD_WERROR=ON > /dev/null
	cmake --build $(BUILD) -j $(JOBS) --target crockery-drift

run: build
	cd $(BUILD)/CrockeryDrift && ./crockery-drift

test: bootstrap
	cmake -S . -B $(TEST_BUILD) $(TEST_FLAGS) -DCD_WERROR=ON > /dev/null
	cmake --build $(TEST_BUILD) -j $(JOBS)
	cd $(TEST_BUILD) && ctest --output-on-failure -j $(JOBS)

bench: bootstrap
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DCD_WERROR=ON > /dev/null
	cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	cd $(BUILD)/CrockeryDrift && ../benchmarks

# Runs every fuzz target for a while from its seed corpus in fuzz/corpus (clang's libFuzzer).
fuzz:
	@scripts/fuzz

# The long random-input run on the headless twin under AddressSanitizer and UBSan.
soak:
	@scripts/soak

# Installing needs the desktop icons beside the game; neither step builds the tests.
install: build
	cmake --build $(BUILD) -j $(JOBS) --target app_icons
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

package: build
	cmake --build $(BUILD) -j $(JOBS) --target app_icons
	cd $(BUILD) && cpack -G DEB

# Removes every file the last install wrote, then the game's own folders once they are empty.
# The manifest lists paths without DESTDIR, so the same DESTDIR must be given again.
uninstall:
	@test -f $(BUILD)/install_manifest.txt || { echo "nothing to uninstall: no $(BUILD)/install_manifest.txt"; exit 1; }
	@while IFS= read -r f || [ -n "$$f" ]; do rm -f -- "$(DESTDIR)$$f" && echo "removed $(DESTDIR)$$f"; done < $(BUILD)/install_manifest.txt
	@sed -n 's|\(.*/crockery-drift\)/.*|\1|p' $(BUILD)/install_manifest.txt | sort -u | \
	  while IFS= read -r d; do find "$(DESTDIR)$$d" -depth -type d -empty -delete 2>/dev/null || true; done

clean:
	rm -rf $(BUILD) $(BUILD)-sanitize
