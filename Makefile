BUILD ?= build
# Extra settings for CMake, e.g. CMAKE_FLAGS=-DMDK_WARNINGS_AS_ERRORS=ON
CMAKE_FLAGS ?=
SAMPLE ?= samples/mellow-chime.wav

.PHONY: deps build run test bench package clean

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD)

# Starts the player on the bundled sample; without a display it runs on a
# virtual one so that it still plays.
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then $(BUILD)/mellowdeck $(SAMPLE); \
	else echo "No display: starting on a virtual one (xvfb-run)"; xvfb-run -a $(BUILD)/mellowdeck $(SAMPLE); fi

test: build
	@cd $(BUILD) && ctest --output-on-failure --timeout 300 -j2

bench: build
	@$(BUILD)/bench/mdk_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	@scripts/bench-process $(BUILD)
	@$(BUILD)/bench/mdk_soak 1000 100

# A Debian package of the build: $(BUILD)/mellowdeck_<version>_<arch>.deb
package: build
	@cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD)
