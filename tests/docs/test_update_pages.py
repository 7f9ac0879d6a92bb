#!/usr/bin/env python3
"""Tests of scripts/update_function_pages.py: the generated sections take the
rows of the right function and nothing else, and say "not measured yet"
rather than inventing a figure. Standard library only."""

import os
import sys
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.dont_write_bytecode = True  # leave no cache in the source tree
sys.path.insert(0, os.path.join(ROOT, "scripts"))
import update_function_pages as pages  # noqa: E402

ACCURACY = """# Accuracy

| Function | Region | Points | Max relative | Median relative | Max scaled | Median scaled | Worst input (relative) |
|---|---|---:|---:|---:|---:|---:|---|
| Gamma(z) | real-direct | 148 | 817 | 118 | 817 | 118 | x=136.4, y=0 |
| LnGamma | real | 10 | 0.50 | 0.20 | 0.50 | 0.20 | x=3, y=0 |
| Gamma(a, x) | series | 160 (2 raised) | 17.8 | 0.39 | 8.07 | 0.25 | a=0.1, x=0.7 |
| Tcheb | near-zeros | 100 (100 raised) | | | | | |
"""

PERFORMANCE = """# Performance

| Function | Regime | ours | Other | ratio |
|---|---|---|---|---|
| Gamma(z) | real, x >= 0.5 | 259 ns | 1 ns | 2 |
| Gamma(a,x) | power series | 431 ns | 1 ns | 2 |
| LnGamma | real | 50 ns | 1 ns | 2 |

### As the host's allocator behaves by default

| Function | Vector | entry point | bare kernel loop | engine cost |
|---|---|---|---|---|
| Gamma(z) | real vector | 294 ns | 290 ns | +4 ns |

### With the allocator keeping freed memory

| Function | Vector | entry point | bare kernel loop | engine cost |
|---|---|---|---|---|
| Gamma(z) | real vector | 280 ns | 279 ns | +1 ns |
"""


class AccuracySection(unittest.TestCase):
    def test_takes_the_rows_of_every_name_of_the_page_and_no_other(self):
        text = "\n".join(pages.accuracy_section(["Gamma(z)", "Gamma(a, x)"], ACCURACY))
        self.assertIn("| Gamma(z) | real-direct | 148 | 817 |", text)
        self.assertIn("| Gamma(a, x) | series | 160 (2 raised) | 17.8 |", text)
        self.assertNotIn("LnGamma", text)

    def test_says_not_measured_instead_of_a_number(self):
        self.assertIn("Not measured yet", pages.accuracy_section(["Tcheb"], None)[0])
        self.assertIn("no row for `Her`", pages.accuracy_section(["Her"], ACCURACY)[0])
        tcheb = "\n".join(pages.accuracy_section(["Tcheb"], ACCURACY))
        self.assertIn("not measured (every point raised)", tcheb)


class SpeedSection(unittest.TestCase):
    def test_takes_our_times_only_and_the_default_allocator_table(self):
        text = "\n".join(pages.speed_section(["Gamma(z)", "Gamma(a, x)"], PERFORMANCE))
        self.assertIn("| Gamma(z) | real, x >= 0.5 | 259 ns |", text)
        self.assertIn("| Gamma(a,x) | power series | 431 ns |", text)
        self.assertIn("| Gamma(z) | real vector | 294 ns |", text)
        self.assertNotIn("280 ns", text)
        self.assertNotIn("| 1 ns", text)
        self.assertNotIn("Other", text)
        self.assertNotIn("LnGamma", text)

    def test_says_not_measured_without_a_row(self):
        self.assertIn("Not measured yet", pages.speed_section(["Her"], PERFORMANCE)[0])
        self.assertIn("Not measured yet", pages.speed_section(["Her"], None)[0])


class Markers(unittest.TestCase):
    def test_replaces_only_between_the_markers(self):
        text = "before\n<!-- x:begin -->\nold\n<!-- x:end -->\nafter"
        self.assertEqual(pages.replace_between(text, "<!-- x:begin -->", "<!-- x:end -->", ["new"]),
                         "before\n<!-- x:begin -->\nnew\n<!-- x:end -->\nafter")
        self.assertIsNone(pages.replace_between("no markers", "<!-- x:begin -->",
                                                "<!-- x:end -->", ["new"]))

    def test_sample_blocks_are_compared_and_rewritten(self):
        guide = "<!-- sample: tests/package/CMakeLists.txt -->\n```cmake\nstale\n```\ntext"
        updated, stale = pages.with_samples(guide)
        self.assertEqual(stale, ["tests/package/CMakeLists.txt"])
        self.assertIn("find_package(OruSpecial", updated)
        self.assertTrue(updated.endswith("```\ntext"))
        self.assertEqual(pages.with_samples(updated)[1], [])


if __name__ == "__main__":
    unittest.main()
