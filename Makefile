# The two commands:
#   make test   build everything and run every test: native (plain and under
#               the sanitizers), then under Wine
#   make run    build tarnwick.exe and start it in a Wine desktop
# The other targets are steps of these two.

BUILD := build
JOBS ?= 2
# Windows version Wine reports to tarnwick.exe in `make run` (win98, win2k, winxp).
WINVER ?= winxp

NATIVE_DIR := $(BUILD)/native
SANITIZE_DIR := $(BUILD)/native-sanitize
FUZZ_DIR := $(BUILD)/fuzz
WIN32_DIR := $(BUILD)/win32
E2E_DIR := $(BUILD)/e2e
TARNWICK_EXE := $(abspath $(WIN32_DIR))/tarnwick.exe

# The Wine suites, the installer's in a Wine session of its own: in XP mode
# Wine's desktop process can crash when earlier suites rewrite desktop
# shortcuts under it, and an installer that closes the tray copy or starts a
# console program then waits for ever. A new session starts a new desktop.
# Wine 8's desktop process also crashes now and then while a moved install
# rewrites the desktop's shortcuts (a page fault in its watch of the desktop
# folder, seen in about one run of ten), and the Tarnwick the installer
# starts again then cannot make its window. The installer's suites get one
# more try in a new session when they fail; a fault of ours fails both.
INSTALL_SUITES = bash scripts/with-wine.sh --prefix $(BUILD)/wineprefix-test -- \
	  ctest --test-dir $(E2E_DIR) --output-on-failure -R '^install_'
E2E_SUITES = (wine_status=0; \
	bash scripts/with-wine.sh --prefix $(BUILD)/wineprefix-test -- \
	  ctest --test-dir $(E2E_DIR) --output-on-failure -E '^install_' || wine_status=1; \
	$(INSTALL_SUITES) || { echo "installer suites: once more, in a new Wine session"; \
	  $(INSTALL_SUITES) || wine_status=1; }; \
	exit $$wine_status)

.PHONY: test run prereqs native native-sanitize win32 e2e fuzz test-native test-e2e test-sanitize \
  test-fuzz soak bench dist

# Every suite runs even when an earlier one fails, so one run reports everything.
test: native native-sanitize fuzz e2e
	@status=0; \
	ctest --test-dir $(NATIVE_DIR) --output-on-failure || status=1; \
	ctest --test-dir $(SANITIZE_DIR) --output-on-failure || status=1; \
	ctest --test-dir $(FUZZ_DIR) --output-on-failure || status=1; \
	$(E2E_SUITES) || status=1; \
	exit $$status

run: win32
	TARNWICK_WINVER=$(WINVER) bash scripts/with-wine.sh --prefix $(BUILD)/wineprefix-run --use-display -- \
	  bash scripts/start-tarnwick.sh $(TARNWICK_EXE)

prereqs:
	bash scripts/install-prereqs.sh

native: prereqs
	cmake -S . -B $(NATIVE_DIR)
	cmake --build $(NATIVE_DIR) -j$(JOBS)

win32: prereqs
	cmake -S . -B $(WIN32_DIR) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake \
	  -DCMAKE_BUILD_TYPE=Release
	cmake --build $(WIN32_DIR) -j$(JOBS)

e2e: win32
	cmake -S e2e -B $(E2E_DIR) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686-posix.cmake \
	  -DTARNWICK_EXE=$(TARNWICK_EXE)
	cmake --build $(E2E_DIR) -j$(JOBS)

# The release files into dist/: the installer, the portable zip and their
# checksums. The win32 build makes both (cmake/release.cmake); the version is
# the version resource's (cmake/tarnwick_version.cmake).
dist: win32
	@version=$$(cmake -P cmake/tarnwick_version.cmake) && \
	rm -rf dist && mkdir dist && \
	cp $(WIN32_DIR)/tarnwick-$$version-setup.exe $(WIN32_DIR)/tarnwick-$$version.zip dist/ && \
	cd dist && sha256sum tarnwick-$$version-setup.exe tarnwick-$$version.zip > SHA256SUMS && \
	ls -l && cat SHA256SUMS

test-native: native
	ctest --test-dir $(NATIVE_DIR) --output-on-failure

test-e2e: e2e
	$(E2E_SUITES)

# The native tests under AddressSanitizer and UndefinedBehaviorSanitizer.
native-sanitize: prereqs
	cmake -S . -B $(SANITIZE_DIR) -DTARNWICK_SANITIZE=ON
	cmake --build $(SANITIZE_DIR) -j$(JOBS)

test-sanitize: native-sanitize
	ctest --test-dir $(SANITIZE_DIR) --output-on-failure

# The soak: SOAK_RUNS watched runs of the stand-in game through the tray's
# Run menu under Wine; the driver keys after each restore and the program's
# handle and GDI/USER counts are checked. Minutes; not part of `make test`.
SOAK_RUNS ?= 200
soak: e2e
	cmake --build $(E2E_DIR) --target tarnwick_soak
	bash scripts/with-wine.sh --prefix $(BUILD)/wineprefix-soak -- \
	  wine $(E2E_DIR)/tarnwick_soak.exe --tarnwick=$(TARNWICK_EXE) --game=$(abspath $(E2E_DIR))/game.exe \
	  --fixtures=$(CURDIR)/e2e/fixtures --winver=$(WINVER) --runs=$(SOAK_RUNS)

# libFuzzer targets (clang, ASan and UBSan), each run for a fixed number of
# inputs from its corpus in fuzz/corpus/.
fuzz: prereqs
	cmake -S fuzz -B $(FUZZ_DIR) -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_DIR) -j$(JOBS)

test-fuzz: fuzz
	ctest --test-dir $(FUZZ_DIR) --output-on-failure

# Speed of the core's registry work, against the in-memory registry; then
# tarnwick.exe side by side with a minimal tray program under Wine
# (bench/wine/run_bench.py). BENCH_RUNS and BENCH_IDLE (seconds) shorten it.
BENCH_RUNS ?= 15
BENCH_IDLE ?= 20
BENCH_WINE_DIR := $(BUILD)/bench-wine
bench: prereqs win32
	cmake -S . -B $(BUILD)/bench -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD)/bench -j$(JOBS) --target tarnwick_bench
	$(BUILD)/bench/tarnwick_bench
	cmake -S bench/wine -B $(BENCH_WINE_DIR) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake
	cmake --build $(BENCH_WINE_DIR) -j$(JOBS)
	bash scripts/with-wine.sh --prefix $(BUILD)/wineprefix-bench -- \
	  python3 bench/wine/run_bench.py --tarnwick $(TARNWICK_EXE) \
	  --tray $(BENCH_WINE_DIR)/minimal_tray.exe --reference $(BENCH_WINE_DIR)/reference_launcher.exe \
	  --driver $(BENCH_WINE_DIR)/bench_driver.exe --game $(BENCH_WINE_DIR)/game.exe \
	  --fixture e2e/fixtures/win98-voodoo5.reg --work $(abspath $(BENCH_WINE_DIR))/work \
	  --runs $(BENCH_RUNS) --idle $(BENCH_IDLE)

# The README's pictures in docs/: the screenshot-taking end-to-end tests run
# under Wine in a prefix of their own (scripts/docs-screenshots.sh), then each
# picture is cropped to its window or menu and palette-reduced
# (scripts/docs-pictures.sh).
DOCS_WINVER := winxp
DOCS_SHOTS := $(BUILD)/docs-shots
.PHONY: docs
docs: e2e
	bash scripts/with-wine.sh --prefix $(BUILD)/wineprefix-docs -- \
	  bash scripts/docs-screenshots.sh $(TARNWICK_EXE) $(E2E_DIR) $(DOCS_SHOTS) $(DOCS_WINVER)
	bash scripts/docs-pictures.sh $(DOCS_SHOTS) docs $(DOCS_WINVER)
