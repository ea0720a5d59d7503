# Kestrune: the two set-up commands.
#   make run   installs what is missing, builds and starts the application
#   make test  installs what is missing, builds and runs every test
JOBS ?= 2
BUILD := build
ASAN_BUILD := build-asan
PACKAGE_BUILD := build-package

.PHONY: run test build bootstrap bench install package clean

bootstrap:
	./tools/bootstrap

build: bootstrap
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS)

run: build
	./$(BUILD)/app/kestrune

test: bootstrap
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRUNE_WERROR=ON
	cmake --build $(BUILD) -j$(JOBS)
	dbus-run-session -- ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTRUNE_SANITIZE=ON \
		-DKESTRUNE_BUILD_GUI=OFF -DKESTRUNE_BUILD_BENCH=OFF -DKESTRUNE_WERROR=ON
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --test-dir $(ASAN_BUILD) --output-on-failure -j$(JOBS)

bench: build
	./$(BUILD)/bench/kestrune_bench

install: build
	cmake --install $(BUILD)

# A Debian package for /usr: $(PACKAGE_BUILD)/kestrune_VERSION_ARCH.deb
package: bootstrap
	cmake -S . -B $(PACKAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
		-DKESTRUNE_BUILD_BENCH=OFF
	cmake --build $(PACKAGE_BUILD) -j$(JOBS) --target package

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(PACKAGE_BUILD)
