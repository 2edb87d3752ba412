#!/usr/bin/env python3
"""Turns what scripts/bench measured (a folder of CSV, JSON and timing files) into the
table it prints and the JSON it keeps, so that runs can be compared.

    summarize.py WORK_DIR OUT_JSON
"""
import csv
import glob
import json
import os
import re
import sys

DRAWS = ["draw", "draw_segments", "draw_lines", "draw_points", "draw_splash"]
STAGES = ["sequence_load", "contours", "choreography", "emitter_upload", "particle_update",
          *DRAWS, "post", "output", "other"]
GPU_PASSES = ["emitter_upload", "particle_update", *DRAWS, "post"]
# The bare GL benchmark's thread CPU per frame, for the show's stages that do the same work.
BARE_PARTS = [("update", "particle_update"), ("lines", "draw_segments + draw_lines"),
              ("points", "draw_points"), ("splash", "draw_splash")]
OUTSIDE_GL = ["sequence_load", "contours", "choreography"]
WARMUP_FRAMES = 2  # shader compiles and first uploads land in the first frames


def percentile(values, p):
    """Nearest rank; None for no values."""
    if not values:
        return None
    v = sorted(values)
    return v[min(len(v) - 1, int(p * (len(v) - 1) + 0.5))]


def spread(values):
    return {"n": len(values), "median": percentile(values, 0.5), "p95": percentile(values, 0.95),
            "mean": sum(values) / len(values) if values else None,
            "min": min(values) if values else None, "max": max(values) if values else None}


def rows(path):
    try:
        with open(path, newline="") as f:
            return list(csv.DictReader(f))
    except OSError:
        return []


def column(table, name):
    return [float(r[name]) for r in table if r.get(name) not in (None, "")]


def realtime(work):
    runs = {}
    for path in sorted(glob.glob(os.path.join(work, "show-*.csv"))):
        size, samples, _ = os.path.basename(path)[5:-4].split("-")
        runs.setdefault((size, int(samples)), {"show": [], "bare": [], "startup": [], "first_frame": []})
        key = runs[(size, int(samples))]
        table = rows(path)
        if table:
            key["startup"].append(float(table[0]["since_start_ms"]))
            key["first_frame"].append(float(table[0]["frame_ms"]))
            key.setdefault("ready", []).append(float(table[0]["since_start_ms"]) - float(table[0]["frame_ms"]))
        key["show"] += table[WARMUP_FRAMES:]
        key["bare"] += rows(path.replace("show-", "bare-"))
    out = []
    for (size, samples), r in sorted(runs.items(), key=lambda kv: (int(kv[0][0].split("x")[0]), -kv[0][1])):
        show = spread(column(r["show"], "frame_ms"))
        bare = spread(column(r["bare"], "frame_ms"))
        fps = 1000.0 / show["median"] if show["median"] else None
        bare_fps = 1000.0 / bare["median"] if bare["median"] else None
        out.append({
            "size": size, "samples": samples,
            "show_frame_ms": show, "show_fps": fps,
            "bare_frame_ms": bare, "bare_fps": bare_fps,
            "ratio": fps / bare_fps if fps and bare_fps else None,
            "stages": stage_spreads(r["show"]),
            "bare_cpu_ms": {part: spread(column(r["bare"], part + "_cpu_ms")) for part, _ in BARE_PARTS},
            "startup_ms": spread(r["startup"]),
            "first_frame_ms": spread(r["first_frame"]),
            "ready_ms": spread(r.get("ready", [])),
        })
    return out


def stage_spreads(table):
    s = {}
    for name in STAGES:
        s[name] = {"wall_ms": spread(column(table, name + "_ms")),
                   "cpu_ms": spread(column(table, name + "_cpu_ms"))}
    outside = [sum(float(r[n + "_cpu_ms"]) for n in OUTSIDE_GL) for r in table]
    s["outside_gl"] = {"cpu_ms": spread(outside)}
    for name in GPU_PASSES:
        s["gpu_" + name] = {"gpu_ms": spread(column(table, "gpu_" + name + "_ms"))}
    return s


def google_benchmarks(work):
    out = []
    for path in sorted(glob.glob(os.path.join(work, "gb-*.json"))):
        try:
            with open(path) as f:
                data = json.load(f)
        except (OSError, ValueError):
            continue
        for b in data.get("benchmarks", []):
            if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
                continue
            if b.get("error_occurred"):
                continue
            scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b.get("time_unit", "ns")]
            out.append({"program": os.path.basename(path)[3:-5], "name": b.get("run_name", b["name"]),
                        "real_ms": b["real_time"] * scale, "cpu_ms": b["cpu_time"] * scale})
    return out


def timings(work, prefix):
    wall, cpu = [], []
    for path in sorted(glob.glob(os.path.join(work, prefix + "-*.txt"))):
        with open(path) as f:
            fields = f.read().split()
        if len(fields) >= 2:
            wall.append(float(fields[0]))
            cpu.append(float(fields[1]))
    return {"wall_s": spread(wall), "cpu_s": spread(cpu)}


def export(work):
    """The export's wall time against the bare frame time times the export's frame count.
    The bare frames come from runs before and after the export, pooled."""
    frames = re.search(r"frames=(\d+)", text_of(os.path.join(work, "export.args")))
    wall = timings(work, "export")["wall_s"]["median"]
    samples = [column(rows(p), "frame_ms") for p in sorted(glob.glob(os.path.join(work, "bare-export-*.csv")))]
    bare = spread([v for s in samples for v in s])
    if not frames or wall is None or bare["median"] is None:
        return None
    n = int(frames.group(1))
    bare_s = n * bare["median"] / 1000.0
    result = {"frames": n, "wall_s": wall, "bare_frame_ms": bare, "bare_s": bare_s,
              "bare_sample_medians_ms": [spread(s)["median"] for s in samples],
              "ratio": wall / bare_s if bare_s else None}
    result["stretches"] = stretches(rows(os.path.join(work, "export-stats.csv")), bare["median"])
    processes = re.search(r"processes=(\d+)", text_of(os.path.join(work, "parallel.args")))
    parallel = timings(work, "parallel")["wall_s"]["median"]
    if processes and parallel is not None:
        result["parallel"] = {"processes": int(processes.group(1)), "wall_s": parallel,
                              "ratio": parallel / bare_s if bare_s else None}
    return result


def stretches(table, bare_ms, seconds=20):
    """The export's median frame per stretch of show time, against the bare frame: the
    whole-show ratio is an average over stretches that differ by nearly two times."""
    groups = {}
    for r in table[WARMUP_FRAMES:]:
        if r.get("show_time") and r.get("frame_ms"):
            groups.setdefault(int(float(r["show_time"]) // seconds), []).append(float(r["frame_ms"]))
    return [{"from_s": k * seconds, "to_s": (k + 1) * seconds, "frames": len(v),
             "frame_ms": percentile(v, 0.5), "ratio": percentile(v, 0.5) / bare_ms}
            for k, v in sorted(groups.items())]


def text_of(path):
    try:
        with open(path) as f:
            return f.read().strip()
    except OSError:
        return ""


def fmt(v, width=9, digits=2):
    return f"{v:{width}.{digits}f}" if isinstance(v, (int, float)) else " " * (width - 1) + "-"


def report(result):
    lines = []
    add = lines.append
    m = result["machine"]
    add(f"thornwake bench  {m['cores']} cores  load before: {m['load_before']}  after: {m['load_after']}")
    add(f"GL: {m['renderer']}")
    add("")
    add("(a) real-time loop under Xvfb, frames after the first two; bare GL benchmark beside it;")
    add("    ratio: the show's frame rate over the bare one's")
    add("    size      MSAA  frames  median ms   p95 ms      fps |  bare frames  median ms   p95 ms      fps | ratio")
    for r in result["realtime"]:
        s, b = r["show_frame_ms"], r["bare_frame_ms"]
        add(f"    {r['size']:9s} {r['samples']:>4d}  {s['n']:6d} {fmt(s['median'], 10)} {fmt(s['p95'])} {fmt(r['show_fps'], 8, 3)}"
            f" | {b['n']:12d} {fmt(b['median'], 10)} {fmt(b['p95'])} {fmt(r['bare_fps'], 8, 3)} | {fmt(r['ratio'], 5, 2)}")
    add("")
    add("(b) CPU stages per frame, show thread (ms): wall median / p95, thread CPU median / p95")
    for r in result["realtime"]:
        add(f"    {r['size']} MSAA {r['samples']}:")
        for name in STAGES + ["outside_gl"]:
            st = r["stages"][name]
            w = st.get("wall_ms", {"median": None, "p95": None})
            c = st["cpu_ms"]
            add(f"      {name:16s} {fmt(w['median'])} {fmt(w['p95'])}   {fmt(c['median'], 9, 3)} {fmt(c['p95'], 9, 3)}")
        gpu = "  ".join(f"{n} {fmt(r['stages']['gpu_' + n]['gpu_ms']['median'], 1, 1)}" for n in GPU_PASSES)
        add(f"      GPU timer medians (ms): {gpu}")
        bare = "  ".join(f"{part} {fmt(r['bare_cpu_ms'][part]['median'], 1, 1)}" for part, _ in BARE_PARTS)
        add(f"      bare GL thread CPU medians (ms), one update a frame: {bare}")
        add(f"        (against the show's {', '.join(show for _, show in BARE_PARTS)})")
    w = result["show_walk"]
    if w["frames"]:
        add(f"    whole show, CPU stages only ({w['frames']} frames at {w['fps']} fps): thread CPU mean (amortised) / median / p95 ms")
        for name in ["sequence_load", "contours", "choreography", "emitter_upload", "outside_gl"]:
            c = w["stages"][name]["cpu_ms"]
            add(f"      {name:16s} {fmt(c['mean'], 9, 3)} {fmt(c['median'], 9, 3)} {fmt(c['p95'], 9, 3)}")
    if result["google_benchmarks"]:
        add("    Google Benchmarks (median of repetitions, ms): real / CPU")
        for b in result["google_benchmarks"]:
            add(f"      {b['program'] + ' ' + b['name']:58s} {fmt(b['real_ms'], 9, 3)} {fmt(b['cpu_ms'], 9, 3)}")
    add("")
    add("(c) start-up (ms, median of runs): to the start of the first frame, the first frame, to its end")
    for r in result["realtime"]:
        st, ff, rd = r["startup_ms"], r["first_frame_ms"], r["ready_ms"]
        add(f"    {r['size']:9s} MSAA {r['samples']}  {fmt(rd['median'], 9, 0)} + {fmt(ff['median'], 7, 0)} = "
            f"{fmt(st['median'], 7, 0)}  (n={st['n']}, min {fmt(st['min'], 1, 0)})")
    add("")
    d = result["datagen"]
    add(f"(d) thornwake-datagen --force (s): wall median {fmt(d['wall_s']['median'], 1)}  p95 {fmt(d['wall_s']['p95'], 1)}"
        f"  CPU median {fmt(d['cpu_s']['median'], 1)}  (n={d['wall_s']['n']})")
    e = result["export"]
    if e:
        add("")
        add(f"(e) export 1280x720, 30 fps, {e['frames']} frames: {fmt(e['wall_s'] / 60, 1, 1)} min; bare GL for the same"
            f" frames {fmt(e['bare_s'] / 60, 1, 1)} min (median {fmt(e['bare_frame_ms']['median'], 1, 1)} ms a frame)"
            f" | ratio {fmt(e['ratio'], 1, 2)}")
        add("    bare medians before and after the export: "
            + ", ".join(f"{fmt(m, 1, 1)} ms" for m in e["bare_sample_medians_ms"]))
        if e["stretches"]:
            add("    by stretch of show time: median ms a frame | ratio to the bare frame")
            for s in e["stretches"]:
                add(f"      {s['from_s']:3d}-{s['to_s']:3d} s {s['frames']:5d} frames {fmt(s['frame_ms'], 8, 1)} | {fmt(s['ratio'], 5, 2)}")
        p = e.get("parallel")
        if p:
            add(f"    as {p['processes']} segments at once (scripts/render-parallel): {fmt(p['wall_s'] / 60, 1, 1)} min"
                f" | ratio {fmt(p['ratio'], 1, 2)}")
    return "\n".join(lines)


def main():
    work, out_json = sys.argv[1], sys.argv[2]
    walk = rows(os.path.join(work, "walk.csv"))
    fps = re.search(r"fps=(\d+)", text_of(os.path.join(work, "walk.args")))
    result = {
        "machine": {"cores": os.cpu_count(), "load_before": text_of(os.path.join(work, "load-before")),
                    "load_after": text_of(os.path.join(work, "load-after")),
                    "renderer": text_of(os.path.join(work, "renderer"))},
        "realtime": realtime(work),
        "show_walk": {"frames": len(walk), "fps": int(fps.group(1)) if fps else None, "stages": stage_spreads(walk)},
        "google_benchmarks": google_benchmarks(work),
        "datagen": timings(work, "datagen"),
        "export": export(work),
    }
    text = report(result)
    os.makedirs(os.path.dirname(os.path.abspath(out_json)), exist_ok=True)
    with open(out_json, "w") as f:
        json.dump(result, f, indent=1)
    print(text)


if __name__ == "__main__":
    main()
