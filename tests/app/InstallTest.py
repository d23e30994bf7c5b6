"""The tester as an installation holds it: the build installed into a temporary root (DESTDIR), then
run from a directory that has no data/ of its own, as a user and a CI job run it.

Usage: InstallTest.py CMAKE BUILD_DIR SAMPLES_DIR SOURCE_DIR
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

import yaml

CMAKE, BUILD_DIR, SAMPLES_DIR, SOURCE_DIR = sys.argv[1:5]
PREFIX = "/usr"
GOLD_FILES = ["j2se8", "j2ee8", "DRAV_common", "FormerlyCORBA", "IOS", "TSS_type_independent",
              "TSS_type_abstraction"]


def readme_ci_job():
    """The job of the README's CI section, as the YAML a CI server reads."""
    with open(os.path.join(SOURCE_DIR, "README.md"), encoding="utf-8") as f:
        text = f.read()
    section = text.split("\n## In a CI job\n", 1)[1]
    block = re.search(r"```yaml\n(.*?)```", section, re.S).group(1)
    return yaml.safe_load(block)["conformance"]


class Installed(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = tempfile.TemporaryDirectory()
        subprocess.run([CMAKE, "--install", BUILD_DIR, "--prefix", PREFIX], check=True,
                       capture_output=True, env=dict(os.environ, DESTDIR=cls.root.name))
        cls.prefix = cls.root.name + PREFIX
        cls.data = os.path.join(cls.prefix, "share/javaconformance/data")

    def setUp(self):
        self.work = tempfile.TemporaryDirectory()
        self.addCleanup(self.work.cleanup)

    def run_installed(self, command, cwd, unset=()):
        environment = dict(os.environ, PATH=os.path.join(self.prefix, "bin") + ":" + os.environ["PATH"])
        for name in unset:
            environment.pop(name, None)
        return subprocess.run(command, cwd=cwd, env=environment, capture_output=True, text=True)

    def test_theProgramsDataAndManualPagesAreWhereTheyBelong(self):
        installed = {os.path.relpath(os.path.join(path, name), self.prefix)
                     for path, _, names in os.walk(self.prefix) for name in names}
        expected = {"bin/javaconformance", "bin/javaconformance-window",
                    "bin/javaconformance-receiver",
                    "share/man/man1/javaconformance.1.gz",
                    "share/man/man1/javaconformance-receiver.1.gz",
                    "share/doc/javaconformance/README.md",
                    "share/doc/javaconformance/docs/manual.md"}
        expected |= {f"share/javaconformance/data/{name}.javagold" for name in GOLD_FILES}
        self.assertLessEqual(expected, installed)

    def test_runFromAnotherDirectoryItFindsTheInstalledData(self):
        shutil.copy(os.path.join(SAMPLES_DIR, "ios-good.jar"), self.work.name)
        run = self.run_installed(["javaconformance", "--nogui", "--testios", "--general",
                                  "--classpath", "ios-good.jar", "--verdictstatus"], self.work.name)
        self.assertEqual(run.returncode, 0, run.stdout + run.stderr)
        self.assertIn("Verdict: conforms", run.stdout)
        self.assertIn("Reference data: " + self.data, run.stdout)
        with open(os.path.join(self.work.name, "log.txt"), encoding="utf-8") as log:
            self.assertIn("INFO: Reference data: " + self.data, log.read())

    def test_guiModeIsHandedOverToTheInstalledWindowProgram(self):
        """Without a display the window program, not the console program, says why it cannot show
        the window: started through PATH, the program found the window program beside itself
        and gave it the same arguments."""
        run = self.run_installed(["javaconformance", "--testoss", "--logdir", "run"], self.work.name,
                                 unset=("QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"))
        self.assertEqual(run.returncode, 1, run.stdout + run.stderr)
        self.assertIn("WARN: --testoss ignored in GUI mode", run.stdout)
        self.assertIn("ERROR: Cannot show the window: no display is available.", run.stderr)
        with open(os.path.join(self.work.name, "run/log.txt"), encoding="utf-8") as log:
            self.assertIn("ERROR: Cannot show the window", log.read())

    def test_theReadmeCiJobRunsAsWritten(self):
        """The script of the README's job, in a checkout with a component that conforms and then
        one that does not: the job passes and fails on the exit status, and leaves the report and
        the page its artifacts name."""
        job = readme_ci_job()
        for sample, passes in (("pss-good", True), ("pss-bad", False)):
            with self.subTest(sample=sample):
                work = tempfile.TemporaryDirectory()
                self.addCleanup(work.cleanup)
                os.makedirs(os.path.join(work.name, "build/libs"))
                shutil.copy(os.path.join(SAMPLES_DIR, sample + ".jar"),
                            os.path.join(work.name, "build/libs/component.jar"))
                shutil.copy(os.path.join(SAMPLES_DIR, "tss-interface.javagold"),
                            os.path.join(work.name, "platform-tss.javagold"))
                for line in job["script"]:
                    run = self.run_installed(["bash", "-ec", line], work.name)
                    self.assertEqual(run.returncode == 0, passes, run.stdout + run.stderr)
                artifacts = [job["artifacts"]["reports"]["junit"]] + job["artifacts"]["paths"]
                for artifact in artifacts:
                    self.assertTrue(os.path.isfile(os.path.join(work.name, artifact)), artifact)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
