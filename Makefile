# The entry points a person types: make run, make test, make bench.
BUILD      ?= build
JOBS       ?= $(shell nproc)
SANITIZE   ?= 0

ifeq ($(SANITIZE),1)
  TEST_BUILD := $(BUILD)-sanitize
  TEST_FLAGS := -DCD_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
else
  TEST_BUILD := $(BUILD)
  TEST_FLAGS := -DCMAKE_BUILD_TYPE=Release
endif

.PHONY: run test bench build bootstrap clean

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

clean:
	rm -rf $(BUILD) $(BUILD)-sanitize
