# The two set-up commands of the README: `make run` and `make test`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
# ON turns the warnings of the project's targets into errors (the CI runs `make test WERROR=ON`).
WERROR     ?= OFF

# Debian packages the build, the tests and the demonstration tools need.
DEB_PACKAGES = cmake g++ make libgtest-dev libgmock-dev libproj-dev proj-bin proj-data qt6-base-dev fonts-dejavu-core \
               libeigen3-dev libsuitesparse-dev gdal-bin

.PHONY: deps build build-asan test run clean demo-data demo-picture

deps:
	@sh tools/deps.sh $(DEB_PACKAGES)

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DVELMORA_WERROR=$(WERROR)
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_SANITIZE=ON -DVELMORA_GUI=OFF \
	  -DVELMORA_WERROR=$(WERROR)
	cmake --build $(ASAN_BUILD) -j $(JOBS)

test: build build-asan
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

# The desktop application in data/demo where there is a display, otherwise every visible batch
# command on the sample files through velmora-cli, into $(BUILD)/demo-run.
run: build
	sh tools/demo-run.sh $(BUILD)

# Regenerates the demonstration data set in data/demo: grids, Bucharest models, samples and their
# results (needs PROJ; same bytes on every run).
demo-data: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DVELMORA_WERROR=$(WERROR)
	cmake --build $(BUILD) -j $(JOBS) --target velmora-demodata
	./$(BUILD)/velmora-demodata data/demo

# Redraws docs/Stereo30_Stereo70_2D.png, the README's picture of the demonstration model's drawing.
demo-picture: build
	sh tools/demo-picture.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
