#!/usr/bin/env python3
"""Runs the store simulator's tests: python3 tools/store_sim/tests/run_tests.py [-k PATTERN]"""

import os
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))


def main(argv):
    sys.path.insert(0, HERE)
    loader = unittest.TestLoader()
    if len(argv) >= 2 and argv[0] == "-k":
        loader.testNamePatterns = ["*%s*" % argv[1]]
    suite = loader.discover(HERE, pattern="test_*.py", top_level_dir=HERE)
    result = unittest.TextTestRunner(verbosity=2, stream=sys.stdout).run(suite)
    # Failing subtests report once per subtest; count each test once.
    failed_ids = {getattr(test, "test_case", test).id() for test, _ in result.failures + result.errors}
    failed_ids |= {test.id() for test in result.unexpectedSuccesses}
    failed = len(failed_ids)
    skipped = len(result.skipped)
    passed = max(0, result.testsRun - failed - skipped)
    print("%d passed, %d failed" % (passed, failed) + (", %d skipped" % skipped if skipped else ""))
    return 0 if failed == 0 and result.testsRun > 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
