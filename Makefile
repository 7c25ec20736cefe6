# The two everyday commands (make run, make test) and the release zips. Each installs what it
# needs on Debian 12 first.
.PHONY: deps test run dist bench screenshots format clean

deps:
	@scripts/install-deps.sh

test: deps
	@scripts/test.sh

run: deps
	@scripts/run.sh

dist: deps
	@scripts/dist.sh

bench: deps
	@scripts/bench.sh

screenshots: deps
	@scripts/screenshots.sh

format:
	@find app framework hotkeys actions corvane lintrel tools tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf build dist
