"""Reads the benchmarks' JSON results (and the start-up line) and prints one line per goal:
what was measured, the ratio, the goal and whether it was met. Lines without a goal show
measurements kept for comparison. Timings are not tests: a missed goal never fails."""
import json
import os
import sys

# (program, benchmark run name, counter, what, direction, goal); direction "min" means the
# counter must be at least the goal, "max" at most; None: no goal, shown for comparison.
GOALS = [
    ("bench_package", "BM_DecipherDataRegion/manual_time", "speedup",
     "decipher 10 MB in place, vs OpenSSL Blowfish ECB (times faster)", "min", 1.0),
    ("bench_package", "BM_BuildSite/large/manual_time", "ratio",
     "build a 100-member 10 MB site, vs writing the same files", "max", 1.3),
    ("bench_userdata", "BM_SaveUserData/full/manual_time", "ratio",
     "durable save of a full .lum, vs one write and fsync", "max", 2.0),
    ("bench_userdata", "BM_LoadUserData/full/manual_time", "ratio",
     "load a full .lum, vs reading its bytes", "max", 2.0),
    ("bench_text_encoding", "BM_DownloadedTextToCp1252/manual_time", "speedup",
     "4 MB downloaded UTF-8 to cp1252 + references, vs iconv (times faster)", "min", 5.0),
    ("bench_text_encoding", "BM_ToolkitTextToCp1252/manual_time", "speedup",
     "4 MB toolkit UTF-8 to cp1252 + references, vs iconv (times faster)", "min", 5.0),
    ("bench_notes", "BM_WriteNotepadPage_FullNotepad/manual_time", "ratio",
     "write the largest notepad's page, vs writing its bytes", None, None),
    ("bench_notes", "BM_WriteDiaryPage_FullDiary/manual_time", "ratio",
     "write the largest diary's page, vs writing its bytes", None, None),
    ("bench_package", "BM_BuildSite/demo/manual_time", "ratio",
     "build the demo site, vs writing the same files", None, None),
    ("bench_package", "BM_PackageToSite/manual_time", "ratio",
     "open, check, decipher and build a 10 MB package, vs read it and write its members", "max", 2.5),
    ("bench_userdata", "BM_SaveUserData/typical/manual_time", "ratio",
     "durable save of a typical .lum, vs one write and fsync", None, None),
    ("bench_userdata", "BM_LoadUserData/typical/manual_time", "ratio",
     "load a typical .lum, vs reading its bytes", None, None),
    ("bench_fetch", "BM_TwentyLoopbackFetches/manual_time", "ratio",
     "20 loopback fetches of 100 KB, vs a bare libcurl loop", "max", 1.2),
    ("bench_keyword_run", "BM_KeywordRunOverLoopback/manual_time", "ratio",
     "a 20-batch keyword run on loopback, vs a bare libcurl loop fetching the same answers", "max", 1.1),
    ("bench_gateway", "BM_GatewayCacheHitsVsStaticNginx/iterations:6/manual_time", "speedup",
     "qen-gateway cache hits/s, 32 clients, as a share of nginx serving the same file", "min", 0.5),
    ("bench_gateway", "BM_LatestVideosThroughWarmGatewayVsFeedSim/manual_time", "ratio",
     "a latest-videos run through the gateway (warm cache), vs straight against feedsim", "max", 1.1),
    ("bench_video_pages", "BM_WriteVideoPages_FullStore/manual_time", "ratio_to_plain_write",
     "write every videos page of a full store, vs writing the same bytes", "max", 2.0),
    ("bench_articles", "Growth/*", "growth_4x",
     "article text, worst hostile shape: 4 MB time over 1 MB time", "max", 5.0),
]


def results_of(folder, program):
    """run name -> counters (the median of the repetitions where there are several)."""
    path = os.path.join(folder, program + ".json")
    if not os.path.exists(path):
        return None
    with open(path) as file:
        data = json.load(file)
    found = {}
    for run in data.get("benchmarks", []):
        name = run.get("run_name", run.get("name"))
        if run.get("error_occurred"):
            found[name] = {"error": run.get("error_message", "error")}
        elif run.get("run_type") == "aggregate":
            if run.get("aggregate_name") == "median":
                found[name] = run
        else:
            found.setdefault(name, run)
    return found


def pick(results, name, counter, direction):
    """The named run; a name ending in "*" stands for the worst of the runs it starts."""
    if not name.endswith("*"):
        return results.get(name)
    runs = [run for run_name, run in results.items()
            if run_name.startswith(name[:-1]) and counter in run]
    if not runs:
        return None
    worst = min if direction == "min" else max
    return worst(runs, key=lambda run: run[counter])


def verdict(value, direction, goal):
    if direction is None:
        return "-", "no goal"
    met = value >= goal if direction == "min" else value <= goal
    return ("at least " if direction == "min" else "at most ") + f"{goal:g}", "met" if met else "MISSED"


def main(folder):
    rows = []
    for program, name, counter, what, direction, goal in GOALS:
        results = results_of(folder, program)
        run = pick(results, name, counter, direction) if results is not None else None
        if run is None or counter not in run:
            reason = run.get("error") if run else "not run"
            goal_text = verdict(0, direction, goal)[0]
            rows.append((what, "-", goal_text, reason))
            continue
        goal_text, state = verdict(run[counter], direction, goal)
        rows.append((what, f"{run[counter]:.2f}", goal_text, state))

    startup = os.path.join(folder, "startup.txt")
    if os.path.exists(startup):
        values = {}
        with open(startup) as file:
            for line in file:
                if line.startswith("RESULT "):
                    values = dict(item.split("=") for item in line.split()[1:])
        if values:
            for key, what, goal in (("startup_ratio", "quiet", 1.05), ("busy_startup_ratio", "one core busy", 1.15)):
                if key not in values:
                    continue
                ratio = float(values[key])
                rows.append((f"start-up to the first page (10 MB package), {what}, vs a bare web view window",
                             f"{ratio:.2f}", f"at most {goal:g}", "met" if ratio <= goal else "MISSED"))
            extra, allowed = float(values["rss_extra_mb"]), float(values["rss_allowed_mb"])
            rows.append(("resident memory then, MB above the bare window's", f"{extra:.1f}",
                         f"at most {allowed:.1f}", "met" if extra <= allowed else "MISSED"))
    else:
        for what, goal in (("quiet", 1.05), ("one core busy", 1.15)):
            rows.append((f"start-up to the first page, {what}, vs a bare web view window", "-", f"at most {goal:g}",
                         "not run (no display or Xvfb)"))

    width = max(len(row[0]) for row in rows)
    print(f"{'what':<{width}}  {'ratio':>7}  {'goal':<13} result")
    for what, ratio, goal_text, state in rows:
        print(f"{what:<{width}}  {ratio:>7}  {goal_text:<13} {state}")


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
