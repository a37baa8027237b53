# Everything a fresh Debian 12 machine needs, as root: `make run`, `make test`.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
SOAK_MINUTES ?= 10
PORTS_DIR ?= /tmp/qvd-pc-ports

PACKAGES := cmake g++ make pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev \
	libbenchmark-dev libcrypt-dev clang libclang-rt-14-dev xvfb xauth \
	fonts-dejavu-core xdotool dbus at-spi2-core python3-pyatspi imagemagick \
	dpkg-dev file lintian desktop-file-utils appstream man-db groff-base gzip

.PHONY: deps build test test-core test-asan run bench fuzz clean package

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

test: build test-asan
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	$(E2E)
	$(PACKAGE_CHECK)

# The quick loop once built: unit and whole-session tests on virtual time
# (no fault suite over pseudo-terminals, no sanitizer build, no window run).
.PHONY: check
check: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -LE e2e

# The Debian package, $(BUILD)/qvd-pc_<version>_<arch>.deb, installing to /usr.
package: build
	cd $(BUILD) && cpack -G DEB

# Builds the package and checks it unpacked: validators, lintian, the menu
# entry's program and icon, the manual pages (a few seconds).
PACKAGE_CHECK = BUILD=$(BUILD) tools/package_check.sh
.PHONY: package-check
package-check: build
	$(PACKAGE_CHECK)

# All tests again under AddressSanitizer and UBSan, the Qt window tests on the
# offscreen platform included (Qt itself is not instrumented; it reports no
# leaks there, so leak detection stays on).
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQVD_SANITIZE=ON -DQVD_BUILD_UI=ON -DQVD_BUILD_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

run: build
	@mkdir -p $(PORTS_DIR); \
	$(BUILD)/sim/qvd-sim --link $(PORTS_DIR)/COM1 & sim=$$!; \
	trap 'kill $$sim 2>/dev/null' EXIT; \
	for i in $$(seq 50); do [ -e $(PORTS_DIR)/COM1 ] && break; sleep 0.1; done; \
	QVD_PC_PORTS=$(PORTS_DIR)/COM%d $(BUILD)/app/qvd-pc

bench: build
	$(BUILD)/bench/qvd_bench
	$(BUILD)/bench/ui/qvd_ui_bench

# Every fuzz target for FUZZ_SECONDS, from its seeds in fuzz/corpus/<name>;
# new inputs go to $(FUZZ_BUILD)/corpus/<name>, failing ones to
# $(FUZZ_BUILD)/findings. The schedule weighs an input's energy by its time
# too: a BW session costs two or three NSM ones, and without it half of
# the time went to the few paths only a BW module reaches.
FUZZ_TARGETS ?= answers session
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQVD_BUILD_FUZZ=ON -DQVD_BUILD_UI=OFF -DQVD_BUILD_TESTS=OFF -DQVD_BUILD_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(addprefix qvd_fuzz_,$(FUZZ_TARGETS))
	@failed=; for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$t $(FUZZ_BUILD)/findings; \
	  seeds=; [ -d fuzz/corpus/$$t ] && seeds=fuzz/corpus/$$t; \
	  echo "== qvd_fuzz_$$t, $(FUZZ_SECONDS) s"; \
	  $(FUZZ_BUILD)/fuzz/qvd_fuzz_$$t -max_total_time=$(FUZZ_SECONDS) \
	    -timeout=30 -max_len=8192 -entropic_scale_per_exec_time=1 -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/findings/ \
	    $(FUZZ_BUILD)/corpus/$$t $$seeds || failed="$$failed $$t"; \
	done; \
	if [ -n "$$failed" ]; then echo "fuzz targets that found something:$$failed (see $(FUZZ_BUILD)/findings)"; exit 1; fi

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)

# The real window under Xvfb, driven over AT-SPI against qvd-sim from search
# to service layout (about two minutes); SHOTS=docs/screenshots refreshes the
# connected and service screenshots.
E2E = BUILD=$(BUILD) tools/real_window_run.sh $(if $(SHOTS),--shots $(SHOTS))
.PHONY: e2e
e2e: build
	$(E2E)

# Real-time figures of the whole program against qvd-sim on a pseudo-terminal
# (speed, CPU, memory; docs/PERFORMANCE.md). About six minutes.
.PHONY: measure
measure: build
	$(BUILD)/bench/measure/qvd_measure

# The whole program for SOAK_MINUTES in one process against qvd-sim at the
# line rate, with a fault every fifth cycle; fails on a wrong outcome or on
# growth of memory, descriptors, threads or CPU (docs/RELIABILITY.md, "Soak").
# One line per cycle, also in $(BUILD)/soak.csv; the program's boxes in
# $(BUILD)/soak-program.log.
.PHONY: soak
soak: build
	$(BUILD)/bench/soak/qvd_soak --minutes $(SOAK_MINUTES) --csv $(BUILD)/soak.csv --program-log $(BUILD)/soak-program.log
