"""Turns benchmark results into one ratio line per figure.

Reads a Google Benchmark JSON file (cases "<figure>:ours" and
"<figure>:baseline"), or "-" for lines "figure <name> ours <ns> baseline <ns>"
on standard input. Extra fields after the figure name (for example
"figure mem peak-kib 5120") are printed as they stand.
"""
import json
import sys


def from_json(path):
    with open(path) as f:
        data = json.load(f)
    times = {}
    for case in data.get("benchmarks", []):
        if case.get("run_type") == "aggregate":
            continue
        name = case["name"].split("/")[0]
        figure, _, side = name.rpartition(":")
        if side in ("ours", "baseline"):
            times.setdefault(figure, {})[side] = float(case["real_time"]) * unit(case)
    return times


def unit(case):
    return {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[case.get("time_unit", "ns")]


def from_lines(stream):
    times = {}
    for line in stream:
        words = line.split()
        if len(words) >= 6 and words[0] == "figure" and words[2] == "ours" and words[4] == "baseline":
            times[words[1]] = {"ours": float(words[3]), "baseline": float(words[5])}
        elif words[:1] == ["figure"]:
            print(" ".join(words[1:]))
    return times


def main():
    times = from_lines(sys.stdin) if sys.argv[1] == "-" else from_json(sys.argv[1])
    ok = True
    for figure, sides in sorted(times.items()):
        if "ours" not in sides or "baseline" not in sides or sides["baseline"] <= 0:
            print(f"{figure}: incomplete")
            ok = False
            continue
        ratio = sides["ours"] / sides["baseline"]
        print(f"{figure}: {ratio:.2f} (ours {sides['ours']:.0f} ns, baseline {sides['baseline']:.0f} ns)")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
