#!/usr/bin/env python3
"""Runs the end-to-end cases of the program under Wine.

  run_e2e.py --work DIR --exe zentavo.exe --driver e2e_driver.exe setup        (re)create the prefix
  run_e2e.py --work DIR --exe zentavo.exe --driver e2e_driver.exe run CASE...  run cases ("all": every one)
  run_e2e.py list

Each case runs in a Wine session of its own (the prefix's wineserver is restarted), on an Xvfb display
picked at run time. Screenshots go to DIR/shots, the driver's and the program's logs to DIR/logs/CASE.
"""

import argparse
import sys
import time
import traceback
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source folder clean
sys.path.insert(0, str(Path(__file__).resolve().parent))

from bench import BenchError, Display, Paths, Session, create_prefix  # noqa: E402
from cases import CASES, Case, CaseFailure  # noqa: E402
from robustness_cases import ROBUSTNESS_CASES  # noqa: E402

CASES.update(ROBUSTNESS_CASES)


class Bench:
    def __init__(self, paths, exe, driver):
        self.paths, self.exe, self.driver = paths, exe, driver


def run_case(bench, display, name):
    """Runs one case in a session of its own; returns its failures, notes and duration."""
    started = time.monotonic()
    session = case = None
    failures = []
    try:
        session = Session(bench.paths, display, bench.driver, name)
        case = Case(bench, session, name)
        CASES[name](case)
    except CaseFailure as failure:
        failures.append(str(failure))
    except BenchError as error:
        failures.append("bench: %s" % error)
    except Exception:  # a fault of the bench's own code: report it as this case's failure
        failures.append("bench: %s" % traceback.format_exc())
    finally:
        if session:
            session.close()
    notes = []
    if case:
        failures = case.failures + failures
        notes = ["boot %.1f s" % session.boot_seconds] + case.notes
    return failures, notes, time.monotonic() - started


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--work", help="the bench's folder (prefix, shots, logs)")
    parser.add_argument("--exe", help="the program under test")
    parser.add_argument("--driver", help="the driver exe")
    parser.add_argument("command", choices=["setup", "run", "list"])
    parser.add_argument("cases", nargs="*")
    args = parser.parse_args()

    if args.command == "list":
        print("\n".join(CASES))
        return 0
    paths = Paths(args.work)
    if args.command == "setup":
        seconds = create_prefix(paths)
        print("prefix ready in %.1f s: %s" % (seconds, paths.prefix))
        return 0

    names = list(CASES) if args.cases in ([], ["all"]) else args.cases
    unknown = [n for n in names if n not in CASES]
    if unknown:
        print("unknown cases: %s" % ", ".join(unknown))
        return 2
    for what, path in (("program", args.exe), ("driver", args.driver)):
        if not path or not Path(path).is_file():
            print("the %s is missing: %s" % (what, path))
            return 2
    if not (paths.prefix / "system.reg").exists():
        print("no prefix yet; creating it (%.1f s)" % create_prefix(paths))
    bench = Bench(paths, Path(args.exe).resolve(), Path(args.driver).resolve())

    display = Display()
    passed = failed = 0
    total = time.monotonic()
    try:
        for name in names:
            failures, notes, seconds = run_case(bench, display, name)
            status = "FAIL" if failures else "ok"
            print("%-30s %-4s %6.1f s  (%s)" % (name, status, seconds, "; ".join(notes)), flush=True)
            for failure in failures:
                print("    - " + failure.replace("\n", "\n      "), flush=True)
            failed += bool(failures)
            passed += not failures
    finally:
        display.close()
    print("e2e: %.1f s on display %s" % (time.monotonic() - total, display.name))
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
