# The two set-up commands of the README: `make run` and `make test`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)

# Debian packages the build, the tests and the demonstration tools need.
DEB_PACKAGES = cmake g++ make libeigen3-dev libsuitesparse-dev libgtest-dev libgmock-dev libproj-dev proj-bin proj-data qt6-base-dev fonts-dejavu-core gdal-bin

.PHONY: deps build build-asan test run clean demo-data

deps:
	@missing=""; \
	for p in $(DEB_PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing missing packages:$$missing"; \
	  SUDO=""; [ "$$(id -u)" -eq 0 ] || SUDO=sudo; \
	  $$SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_SANITIZE=ON -DVELMORA_GUI=OFF
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
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS) --target velmora-demodata
	./$(BUILD)/velmora-demodata data/demo

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
