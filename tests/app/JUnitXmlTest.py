"""results.xml as a CI server reads it: a real run of the tester on the violating IOS sample,
loaded with junitparser, a maintained third-party reader of JUnit XML, and checked against
results.txt of the same run and against what the sample is known to break.

Usage: JUnitXmlTest.py TESTER DATA_DIR SAMPLES_DIR
"""

import os
import re
import subprocess
import sys
import tempfile
import unittest

from junitparser import Failure, JUnitXml, Skipped

TESTER, DATA_DIR, SAMPLES_DIR = sys.argv[1:4]


def class_outcomes(results_txt):
    """Per top group, the outcome of each class group of results.txt: FAIL, INSPECT or PASS."""
    outcomes = {}
    section = cls = None
    for line in results_txt.splitlines():
        if re.fullmatch(r"  \S.*:", line):
            section, cls = line.strip()[:-1], None
            outcomes[section] = {}
        elif re.fullmatch(r"    \S.*:", line) and section != "Input Results":
            cls = line.strip()[:-1]
            outcomes[section].setdefault(cls, "PASS")
        score = re.search(r": (FAIL|UNKNOWN)$", line)
        if score and section:
            key = cls if cls is not None else line.strip().rsplit(": ", 1)[0]
            previous = outcomes[section].get(key, "PASS")
            outcomes[section][key] = "FAIL" if "FAIL" in (previous, score.group(1)) else "INSPECT"
    return outcomes


class JUnitXmlOfARealRun(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.TemporaryDirectory()
        os.symlink(DATA_DIR, os.path.join(cls.work.name, "data"))
        subprocess.run([TESTER, "--nogui", "--testios", "--general", "--classpath",
                        os.path.join(SAMPLES_DIR, "ios-bad.jar")],
                       cwd=cls.work.name, check=True, capture_output=True)
        cls.xml = JUnitXml.fromfile(os.path.join(cls.work.name, "results.xml"))
        with open(os.path.join(cls.work.name, "results.txt"), encoding="utf-8") as text:
            cls.outcomes = class_outcomes(text.read())

    @classmethod
    def tearDownClass(cls):
        cls.work.cleanup()

    def test_counts_are_those_the_sample_breaks(self):
        self.assertEqual([(s.name, s.tests, s.failures, s.errors, s.skipped) for s in self.xml],
                         [("Interface Results", 5, 4, 0, 0), ("Access Results", 7, 2, 0, 1)])
        self.assertEqual((self.xml.tests, self.xml.failures, self.xml.skipped), (12, 6, 1))

    def test_every_class_group_is_one_case_with_the_outcome_of_its_results(self):
        for suite in self.xml:
            cases = {}
            for case in suite:
                kinds = {type(result) for result in case.result}
                cases[case.classname] = ("FAIL" if Failure in kinds
                                         else "INSPECT" if Skipped in kinds else "PASS")
            self.assertEqual(cases, self.outcomes[suite.name], suite.name)

    def test_failures_carry_the_fail_texts_and_their_causes(self):
        access = {case.classname: case for case in
                  next(s for s in self.xml if s.name == "Access Results")}
        failure = access["vendor.ios.DeviceIoService"].result[0]
        self.assertIn("Method getId permission test: FAIL", failure.text)
        self.assertIn("ERROR: Permission denied", failure.text)
        self.assertEqual(failure.message,
                         "method int drav.ios.IoHandle.getId() not accessible: protected method "
                         "of drav.ios.IoHandle; vendor.ios.DeviceIoService is in another package "
                         "and not a subclass")
        interface = {case.classname: case for case in
                     next(s for s in self.xml if s.name == "Interface Results")}
        self.assertIn("major 55 = Java 11", interface["drav.ios.IoMode"].result[0].message)
        self.assertEqual(access["drav.ios.IoMode"].result[0].message,
                         "class file version newer than Java 8: major 55 = Java 11, newer than "
                         "Java 8 (major 52): build with --release 8")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
