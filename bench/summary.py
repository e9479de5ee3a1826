#!/usr/bin/env python3
"""Runs quenta-bench, quenta-cli calc --lines, the fluids comparisons and the demo, and prints one
table of figures.

Usage: bench/summary.py BUILD_DIR [--quick]   (scripts/bench builds first and calls this)
"""
import json
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))

# What each benchmark stands for, and the aim it is held to.
FIGURES = [
    ("BM_ConvertPressureGauge", "convert 10 bar(g) to kPa(a)", "< 50 ns"),
    ("BM_ConvertTemperature", "convert °C to Kelvin", "< 50 ns"),
    ("BM_ConvertFlowStandard", "convert SCFH to kg/hr (full form)", "< 50 ns"),
    ("BM_BezierLookupByX", "Bezier curve lookup by x", "< 150 ns"),
    ("BM_BezierLookupByY", "Bezier curve lookup by y", "< 150 ns"),
    ("BM_BezierParse", "parse a 24-number curve text", "< 1 µs"),
    ("BM_LiquidIecExample1", "liquid condition, IEC Annex D example 1", "≤ 0.5 µs"),
    ("BM_LiquidConditionIecNoise", "liquid condition, IEC noise", "≤ 0.5 µs"),
    ("BM_LiquidConditionSimpleNoise", "liquid condition, simple noise", "≤ 0.5 µs"),
    ("BM_LiquidConditionParsingCurves", "liquid condition, IEC noise, curves parsed again", ""),
    ("BM_GasIecExampleCo2", "gas condition, carbon dioxide example, IEC noise", "≤ 0.6 µs"),
    ("BM_GasConditionIecNoise", "gas condition, IEC noise", "≤ 0.6 µs"),
    ("BM_GasConditionSimpleNoise", "gas condition, simple noise", "≤ 0.6 µs"),
    ("BM_GasConditionMultiStage", "gas condition, 3-stage trim", "≤ 0.6 µs"),
    ("BM_GasConditionParsingCurves", "gas condition, IEC noise, curves parsed again", ""),
    ("BM_TwoPhaseCondition", "two-phase condition", ""),
    ("BM_LiquidDiffuserSearch", "liquid diffuser pressure search", ""),
    ("BM_GasDiffuserSearch", "gas diffuser pressure search", ""),
    ("BM_TwoPhaseDiffuserSearch", "two-phase diffuser pressure search", ""),
    ("BM_SizeLiquidItemWorstCase", "auto-size a 9-condition liquid item, every row", "≤ 1 ms"),
    ("BM_SizeGasItemWorstCase", "auto-size a 9-condition gas item, every row", "≤ 1 ms"),
    ("BM_SizeGasItemLowNoiseTrimWorstCase", "auto-size a 9-condition low-noise gas item", "≤ 1 ms"),
    ("BM_QuoteReport100Items", "quote PDF of 100 items, every report", "< 1 s"),
]

UNITS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


def human(seconds):
    for unit, scale in (("s", 1.0), ("ms", 1e-3), ("µs", 1e-6), ("ns", 1e-9)):
        if seconds >= scale:
            return f"{seconds / scale:.3g} {unit}"
    return f"{seconds / 1e-9:.3g} ns"


def run_bench(build, quick):
    out = os.path.join(tempfile.mkdtemp(), "bench.json")
    args = [os.path.join(build, "bin", "quenta-bench"), f"--benchmark_out={out}", "--benchmark_out_format=json",
            "--benchmark_format=console"]
    if not quick:
        args += ["--benchmark_repetitions=3", "--benchmark_report_aggregates_only=true"]
    done = subprocess.run(args, capture_output=True, text=True, cwd=os.path.join(build, "bin"))
    if done.returncode != 0:
        raise SystemExit("quenta-bench failed:\n" + done.stderr)
    with open(out) as f:
        data = json.load(f)
    results = {}
    for b in data["benchmarks"]:
        name = b.get("run_name", b["name"]).split("/")[0]
        if b.get("aggregate_name", "mean") != "mean":
            continue
        results[name] = b
    return results


def fluids_ns(script):
    text = subprocess.run(["/usr/bin/python3", os.path.join(HERE, script), "100000"], check=True,
                          capture_output=True, text=True).stdout
    return float(re.search(r"(\d+) ns per call", text).group(1)) * 1e-9


def demo_seconds(build, runs):
    cli = os.path.join(build, "bin", "quenta-cli")
    times = []
    with tempfile.TemporaryDirectory() as appdata:
        for _ in range(runs):
            start = time.perf_counter()
            done = subprocess.run([cli, "demo", "--appdata", appdata], capture_output=True, text=True)
            times.append(time.perf_counter() - start)
            if done.returncode not in (0, 1):
                raise SystemExit("quenta-cli demo failed:\n" + done.stderr)
    return statistics.median(times)


def calc_lines_seconds(build, runs, lines=20000):
    """Wall time per condition of `quenta-cli calc liquid --lines` over lines copies of the liquid
    example, minified to one line; the median of runs runs."""
    cli = os.path.join(build, "bin", "quenta-cli")
    with open(os.path.join(HERE, "..", "data", "examples", "calc", "liquid.json")) as f:
        line = json.dumps(json.load(f), separators=(",", ":"))
    times = []
    with tempfile.TemporaryDirectory() as folder:
        source, answers = os.path.join(folder, "in.jsonl"), os.path.join(folder, "out.jsonl")
        with open(source, "w") as f:
            f.write((line + "\n") * lines)
        for _ in range(runs):
            with open(source, "rb") as stdin, open(answers, "wb") as stdout:
                start = time.perf_counter()
                done = subprocess.run([cli, "calc", "liquid", "--lines"], stdin=stdin, stdout=stdout,
                                      stderr=subprocess.PIPE, text=True)
                times.append(time.perf_counter() - start)
            with open(answers, "rb") as f:
                answered = f.read().count(b"\n")
            if done.returncode != 0 or answered != lines:
                raise SystemExit(f"quenta-cli calc liquid --lines failed ({answered} of {lines} lines):\n"
                                 + done.stderr)
    return statistics.median(times) / lines


def main():
    build = os.path.abspath(sys.argv[1])
    quick = "--quick" in sys.argv
    results = run_bench(build, quick)
    rows = [("figure", "time", "aim", "benchmark")]
    for name, meaning, aim in FIGURES:
        b = results.get(name)
        if not b:
            continue
        t = b["real_time"] * UNITS[b["time_unit"]]
        extra = ""
        if "bytes" in b:
            extra = f" ({b['bytes'] / 1024:.0f} KiB, {b.get('pages', 0):.0f} pages, {b.get('logos', 0):.0f} logo)"
        rows.append((meaning, human(t) + extra, aim, name))
    for name, b in sorted(results.items()):
        if name not in {f[0] for f in FIGURES}:
            rows.append((name, human(b["real_time"] * UNITS[b["time_unit"]]), "", name))
    runs = 1 if quick else 3
    rows.append((f"calc liquid --lines, per condition (median of {runs})", human(calc_lines_seconds(build, runs)),
                 "≤ 10 µs", "quenta-cli calc liquid --lines"))

    width = [max(len(r[i]) for r in rows) for i in range(4)]
    for r in rows:
        print("  ".join(r[i].ljust(width[i]) for i in range(4)).rstrip())

    print()
    for script, ours, what in (("compare_fluids_liquid.py", "BM_LiquidIecExample1", "liquid"),
                               ("compare_fluids_gas.py", "BM_GasIecExampleCo2", "gas")):
        if ours not in results:
            continue
        theirs = fluids_ns(script)
        mine = results[ours]["real_time"] * UNITS[results[ours]["time_unit"]]
        print(f"{what} condition: Quenta {human(mine)} (Cv, travel, noise, power, velocity, warnings and "
              f"intermediates, curves shared), fluids {human(theirs)} (Kv only), same condition: "
              f"Quenta takes {mine / theirs:.2f}x the time of fluids")

    print(f"demo (quenta-cli demo, median of {1 if quick else 5} runs): {human(demo_seconds(build, 1 if quick else 5))}")


if __name__ == "__main__":
    main()
