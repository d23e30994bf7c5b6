"""results.html as a browser shows it: real runs of the tester, each page loaded in headless
Chromium, and the DOM after its scripts ran checked for the verdict, the counts and a finding with
the class, method and line that use it. The page draws its findings from the data it holds, a
screenful on load and the rest on demand; a filter given in the address (#filter=TEXT, with
&view=tree for the whole tree) is applied on load, which lets a test reach any finding.

Usage: ReportPageTest.py TESTER DATA_DIR SAMPLES_DIR FINDINGS_JAR
"""

import html
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import urllib.parse

TESTER, DATA_DIR, SAMPLES_DIR, FINDINGS_JAR = sys.argv[1:5]


def run_tester(workdir, *arguments):
    subprocess.run([TESTER, "--nogui", "--logdir", workdir, *arguments], cwd=os.path.dirname(DATA_DIR),
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300, check=True)
    return os.path.join(workdir, "results.html")


def dump_dom(page, fragment="", *flags):
    """The page's DOM once it has loaded, scripts run."""
    browser = shutil.which("chromium") or shutil.which("chromium-browser")
    done = subprocess.run([browser, "--headless", "--no-sandbox", "--disable-gpu", *flags, "--dump-dom",
                           "file://" + page + fragment], capture_output=True, text=True, timeout=120)
    return done.stdout


def shown_in(page, probe):
    """What a function of the page's document finds once the page has loaded, as the browser lays
    it out: the page is opened in a frame of a page of the test's own, which writes the answer
    into its own document."""
    wrapper = os.path.join(os.path.dirname(page), "probe.html")
    with open(wrapper, "w", encoding="utf-8") as out:
        out.write('<!DOCTYPE html><body><iframe src="%s"></iframe><pre id="answer"></pre><script>'
                  'document.querySelector("iframe").onload = function () {'
                  ' document.getElementById("answer").textContent = JSON.stringify((%s)(this.contentDocument));'
                  '};</script></body>' % (os.path.basename(page), probe))
    answer = text_of(dump_dom(wrapper, "", "--allow-file-access-from-files"), "answer")
    return json.loads(html.unescape(answer))


def page_findings(page):
    """The findings in the page's data: [score, text, cause, class indexes]."""
    with open(page, encoding="utf-8") as html:
        data = re.search(r'<script id="page-data" type="application/json">(.*?)</script>', html.read(), re.S)
    return json.loads(data.group(1))["f"]


def text_of(dom, element_id):
    match = re.search(r'id="%s"[^>]*>(.*?)</' % element_id, dom, re.S)
    return match.group(1) if match else None


class ResultsPageInABrowser(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp()

    def tearDown(self):
        shutil.rmtree(self.dir)

    def test_a_finding_shows_its_classes_methods_and_lines(self):
        page = run_tester(self.dir, "--testpss", "--general", "--tssgold",
                          os.path.join(DATA_DIR, "TSS_type_independent.javagold"), "--classpath", FINDINGS_JAR)
        dom = dump_dom(page)
        self.assertTrue(text_of(dom, "verdict").startswith("does not conform"), text_of(dom, "verdict"))
        with open(os.path.join(self.dir, "results.txt"), encoding="utf-8", errors="replace") as text:
            results = text.read()
        counts = {word: len(re.findall(r": %s$" % word, results, re.M)) for word in ("PASS", "FAIL")}
        self.assertIn("%d PASS" % counts["PASS"], text_of(dom, "counts") + dom)
        self.assertIn('<span class="FAIL">%d FAIL</span>' % counts["FAIL"], dom)
        # The finding the most classes share comes first and opens with the page.
        first = re.search(r'<details class="finding"[^>]*open[^>]*>(.*?)</details>', dom, re.S)
        self.assertIsNotNone(first)
        self.assertIn("sun.misc.Unsafe not found", first.group(1))
        self.assertIn("14 classes", first.group(1))
        self.assertIn("vendor.findings.UnsafeUsers$User01", first.group(1))
        self.assertIn("size(), line 9", first.group(1))
        # What the browser shows: each heading's count is that of the entries under it, a "more"
        # button with nothing more to show is not drawn, and the run's footer lists one gold file
        # a line.
        shown = shown_in(page, """function (d) {
            var count = function (h) { return +h.textContent.match(/\\((\\d+)\\)/)[1]; };
            return {
                findings: [count(d.getElementById("findings")), d.querySelectorAll("details.finding").length],
                failed: [count(d.querySelector("#fail-list").parentNode.querySelector("h3")),
                         d.querySelectorAll("#fail-list > details.finding").length],
                hiddenButtons: Array.from(d.querySelectorAll("button.more")).filter(function (b) {
                    return b.hidden; }).map(function (b) { return getComputedStyle(b).display; }),
                footer: d.getElementById("run").innerText
            };
        }""")
        self.assertEqual(shown["findings"][0], shown["findings"][1])
        self.assertEqual(shown["failed"][0], shown["failed"][1])
        self.assertTrue(shown["hiddenButtons"])
        self.assertEqual(set(shown["hiddenButtons"]), {"none"})
        self.assertNotIn("\\n", shown["footer"])
        self.assertRegex(shown["footer"], r"data/j2se8.javagold\n")

    def test_an_accepted_finding_is_drawn_apart_with_its_reason(self):
        accepted = os.path.join(self.dir, "accepted.txt")
        with open(accepted, "w", encoding="utf-8") as f:
            f.write("finding: sun.misc.Unsafe not found\nreason: Guarded <by> a fallback.\n")
        page = run_tester(self.dir, "--testpss", "--general", "--tssgold",
                          os.path.join(DATA_DIR, "TSS_type_independent.javagold"), "--classpath", FINDINGS_JAR,
                          "--accepted", accepted)
        dom = dump_dom(page)
        drawn = re.search(r'id="accepted-list">(.*?)</section>', dom, re.S).group(1)
        self.assertIn("sun.misc.Unsafe not found", drawn)
        self.assertIn("Accepted: Guarded &lt;by&gt; a fallback.", drawn)
        self.assertNotIn("sun.misc.Unsafe", re.search(r'id="fail-list">(.*?)</section>', dom, re.S).group(1))
        self.assertRegex(dom, r'<span class="ACCEPTED">[1-9]\d* accepted</span>')

    def test_a_page_of_thousands_of_results_loads_with_its_tree_data(self):
        # The OSS test of a component that holds next to nothing of the Java API: every class of
        # the API is a failed result.
        page = run_tester(self.dir, "--testoss", "--general", "--classpath", os.path.join(SAMPLES_DIR, "oss-bad.jar"))
        with open(os.path.join(self.dir, "results.txt"), encoding="utf-8", errors="replace") as text:
            results = text.read()
        failures = len(re.findall(r": FAIL$", results, re.M))
        self.assertGreater(len(re.findall(r": (PASS|FAIL)$", results, re.M)), 2000)
        dom = dump_dom(page)
        self.assertIn('<span class="FAIL">%d FAIL</span>' % failures, dom)
        self.assertTrue(text_of(dom, "verdict").startswith("does not conform"))
        self.assertRegex(dom, r'<details class="finding"[^>]*open')
        # Only the first screenful is drawn; the filter searches them all.
        findings = page_findings(page)
        drawn = len(re.findall(r'<details class="finding"', dom))
        self.assertLess(drawn, len(findings) / 10)
        last = [finding for finding in findings if finding[0] == 2][-1][1]
        self.assertNotIn(html.escape(last, quote=False) + " <", dom)
        dom = dump_dom(page, "#filter=" + urllib.parse.quote(last))
        self.assertIn(html.escape(last, quote=False) + " <", dom)
        self.assertRegex(text_of(dom, "shown"), r"^\d+ of %d shown$" % len(findings))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
