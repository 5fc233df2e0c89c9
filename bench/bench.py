"""qdxpack against gzip and compress, on one corpus, in one run.

Builds the corpus from bench/corpus.list, prepares every compressed form,
checks that each decodes back to the corpus, then times every command
several times and keeps the median. Writes build/bench/results.txt (the
table, also printed), results.json (the same figures) and ratios.png.
Timings are printed, never asserted.
"""
import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

SOURCES = {
    "wine": "/usr/lib/i386-linux-gnu/wine/i386-windows",
    "text": "/usr/share/common-licenses",
    "share": "/usr/share/wine",
}
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def read_corpus_list():
    rows = []
    with open(os.path.join(ROOT, "bench", "corpus.list")) as listing:
        for line in listing:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            kind, name = line.split(None, 1)
            rows.append((kind, name))
    return rows


def build_corpus(folder):
    """Copies the listed files into folder/<kind>/; returns the total bytes."""
    total = 0
    missing = []
    for kind, name in read_corpus_list():
        source = os.path.join(SOURCES[kind], name)
        target = os.path.join(folder, kind, name)
        if not os.path.exists(source):
            missing.append(source)
            continue
        os.makedirs(os.path.dirname(target), exist_ok=True)
        if not os.path.exists(target) or os.path.getsize(target) != os.path.getsize(source):
            shutil.copyfile(source, target)
        total += os.path.getsize(target)
    if missing:
        sys.exit("bench: corpus files missing (run make deps): " + ", ".join(missing[:5]))
    return total


def run(argv, stdout=None, cwd=None):
    """Runs argv once. Returns (wall seconds, cpu seconds, peak resident KiB)."""
    out = open(stdout, "wb") if stdout else subprocess.DEVNULL
    with tempfile.TemporaryFile() as errors:
        try:
            start = time.perf_counter()
            child = subprocess.Popen(argv, stdout=out, stderr=errors, cwd=cwd)
            _, status, usage = os.wait4(child.pid, 0)
            wall = time.perf_counter() - start
            child.returncode = os.waitstatus_to_exitcode(status)
        finally:
            if stdout:
                out.close()
        if child.returncode != 0:
            errors.seek(0)
            sys.exit("bench: %s failed (%d): %s" % (" ".join(argv), child.returncode,
                                                    errors.read().decode(errors="replace").strip()))
    return wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss


def timed(argv, runs, stdout=None, before=None):
    """Median wall and cpu seconds over runs, and the largest peak RSS."""
    walls, cpus, peaks = [], [], []
    for _ in range(runs):
        if before:
            before()
        wall, cpu, peak = run(argv, stdout)
        walls.append(wall)
        cpus.append(cpu)
        peaks.append(peak)
    return {"wall": statistics.median(walls), "cpu": statistics.median(cpus), "peak_kib": max(peaks),
            "runs": runs}


def fresh(folder):
    def make():
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
    return make


def same_file(a, b):
    return subprocess.run(["cmp", "-s", a, b]).returncode == 0


def same_tree(a, b):
    return subprocess.run(["diff", "-r", "-q", a, b], stdout=subprocess.DEVNULL).returncode == 0


def callgrind_instructions(argv, scratch, stdout=None):
    """Instructions executed by argv (callgrind's Ir), or None without valgrind."""
    if shutil.which("valgrind") is None:
        return None
    profile = os.path.join(scratch, "callgrind.out")
    command = ["valgrind", "--tool=callgrind", "--callgrind-out-file=" + profile] + argv
    out = open(stdout, "wb") if stdout else subprocess.DEVNULL
    try:
        result = subprocess.run(command, stdout=out, stderr=subprocess.PIPE)
    finally:
        if stdout:
            out.close()
    if result.returncode != 0:
        return None
    with open(profile) as data:
        for line in data:
            if line.startswith("summary:") or line.startswith("totals:"):
                return int(line.split()[1])
    return None


def has_option(qdxpack, command, option):
    text = subprocess.run([qdxpack, "help", command], stdout=subprocess.PIPE).stdout.decode()
    return option in text


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--qdxpack", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--runs", type=int, default=int(os.environ.get("BENCH_RUNS", "5")))
    parser.add_argument("--callgrind", type=int, default=int(os.environ.get("BENCH_CALLGRIND", "1")))
    args = parser.parse_args()
    qdx = os.path.abspath(args.qdxpack)
    out = os.path.abspath(args.out)
    runs = args.runs
    scratch = os.path.join(out, "scratch")
    os.makedirs(scratch, exist_ok=True)
    env_tmp = os.path.join(scratch, "tmp")
    os.makedirs(env_tmp, exist_ok=True)
    os.environ["TMPDIR"] = env_tmp  # extract stages its copies there

    def at(name):
        return os.path.join(scratch, name)

    # The corpus as a tree, as one file (an uncompressed tar), and four times over.
    corpus = os.path.join(out, "corpus")
    corpus_bytes = build_corpus(corpus)
    tar_file = at("corpus.tar")
    tar_flags = ["--sort=name", "--mtime=@0", "--owner=0", "--group=0", "--numeric-owner"]
    subprocess.run(["tar", "-cf", tar_file] + tar_flags + ["-C", corpus, "."], check=True)
    big = os.path.join(out, "corpus4")
    if not os.path.isdir(big):
        for copy in range(4):
            shutil.copytree(corpus, os.path.join(big, "copy%d" % copy))
    print("bench: corpus %d files, %.1f MB; %d runs per figure" % (len(read_corpus_list()), corpus_bytes / 1e6, runs),
          flush=True)

    results = {"corpus_bytes": corpus_bytes, "tar_bytes": os.path.getsize(tar_file), "runs": runs}
    fast = has_option(qdx, "create", "--fast")

    # Packing (also makes the files every later step reads).
    print("bench: packing", flush=True)
    pack = {}
    pack["qdx_create"] = timed([qdx, "create", corpus, at("corpus.qdx")], runs)
    if fast:
        pack["qdx_create_fast"] = timed([qdx, "create", "--fast", corpus, at("corpus_fast.qdx")], runs)
    pack["qdx_compress"] = timed([qdx, "compress", tar_file, at("corpus.tar.qz")], runs)
    pack["gzip_9"] = timed(["gzip", "-9", "-c", tar_file], runs, stdout=at("corpus.tar.gz"))
    pack["compress"] = timed(["compress", "-c", tar_file], runs, stdout=at("corpus.tar.Z"))
    results["pack"] = pack
    subprocess.run("tar -cf - %s -C '%s' . | gzip -9 > '%s'" % (" ".join(tar_flags), corpus, at("corpus.tgz")),
                   shell=True, check=True)
    run([qdx, "create", big, at("corpus4.qdx")])

    sizes = {
        "qdx_pack": os.path.getsize(at("corpus.qdx")),
        "qdx_compress": os.path.getsize(at("corpus.tar.qz")),
        "gzip_9": os.path.getsize(at("corpus.tar.gz")),
        "compress": os.path.getsize(at("corpus.tar.Z")),
        "tar_gz": os.path.getsize(at("corpus.tgz")),
    }
    if fast:
        sizes["qdx_pack_fast"] = os.path.getsize(at("corpus_fast.qdx"))
    results["sizes"] = sizes

    # Decoding one file; each output is checked against the tar first.
    print("bench: decoding", flush=True)
    decoded = at("decoded")
    run([qdx, "decompress", at("corpus.tar.qz"), decoded])
    checks = {"qdx_decompress": same_file(decoded, tar_file)}
    run(["gzip", "-dc", at("corpus.tar.gz")], stdout=decoded)
    checks["gzip_dc"] = same_file(decoded, tar_file)
    run(["compress", "-dc", at("corpus.tar.Z")], stdout=decoded)
    checks["compress_dc"] = same_file(decoded, tar_file)
    decode = {
        "qdx_decompress": timed([qdx, "decompress", at("corpus.tar.qz"), decoded], runs),
        "gzip_dc": timed(["gzip", "-dc", at("corpus.tar.gz")], runs, stdout=decoded),
        "compress_dc": timed(["compress", "-dc", at("corpus.tar.Z")], runs, stdout=decoded),
    }
    results["decode"] = decode

    # Unpacking the tree.
    print("bench: unpacking", flush=True)
    dest = at("unpacked")
    fresh(dest)()
    run([qdx, "extract", at("corpus.qdx"), dest])
    checks["qdx_extract"] = same_tree(dest, corpus)
    if fast:
        fresh(dest)()
        run([qdx, "extract", at("corpus_fast.qdx"), dest])
        checks["qdx_extract_fast"] = same_tree(dest, corpus)
    fresh(dest)()
    run(["tar", "-xzf", at("corpus.tgz"), "-C", dest])
    checks["tar_xzf"] = same_tree(dest, corpus)
    extract = {
        "qdx_extract": timed([qdx, "extract", at("corpus.qdx"), dest], runs, before=fresh(dest)),
        "tar_xzf": timed(["tar", "-xzf", at("corpus.tgz"), "-C", dest], runs, before=fresh(dest)),
    }
    results["extract"] = extract

    # Peak memory of extract: it must not grow with the pack.
    print("bench: memory", flush=True)
    fresh(dest)()
    _, _, peak_small = run([qdx, "extract", at("corpus.qdx"), dest])
    fresh(dest)()
    _, _, peak_big = run([qdx, "extract", at("corpus4.qdx"), dest])
    checks["qdx_extract_4x"] = same_tree(dest, big)
    shutil.rmtree(dest, ignore_errors=True)
    results["memory_kib"] = {"extract": peak_small, "extract_4x": peak_big,
                             "pack_bytes": sizes["qdx_pack"], "pack_4x_bytes": os.path.getsize(at("corpus4.qdx"))}
    results["checks"] = checks

    setup = os.path.join(ROOT, "build", "win32", "setup.exe")
    results["setup_exe_bytes"] = os.path.getsize(setup) if os.path.exists(setup) else None

    if args.callgrind:
        print("bench: instruction counts under callgrind (BENCH_CALLGRIND=0 skips)", flush=True)
        results["instructions"] = {
            "qdx_decompress": callgrind_instructions([qdx, "decompress", at("corpus.tar.qz"), decoded], scratch),
            "compress_dc": callgrind_instructions(["compress", "-dc", at("corpus.tar.Z")], scratch, stdout=decoded),
            "gzip_dc": callgrind_instructions(["gzip", "-dc", at("corpus.tar.gz")], scratch, stdout=decoded),
        }

    text = format_table(results, fast)
    print(text)
    with open(os.path.join(out, "results.txt"), "w") as table:
        table.write(text)
    with open(os.path.join(out, "results.json"), "w") as data:
        json.dump(results, data, indent=2, sort_keys=True)
    draw_chart(results, os.path.join(out, "ratios.png"))
    print("bench: wrote %s/results.txt, results.json, ratios.png" % out)
    if not all(checks.values()):
        sys.exit("bench: an output differs from the corpus: %s" % [k for k, v in checks.items() if not v])


def ratio(a, b):
    return a / b if b else float("nan")


def format_table(r, fast):
    lines = []
    mb = r["corpus_bytes"] / 1e6
    tar_mb = r["tar_bytes"] / 1e6

    def row(label, figure, size):
        lines.append("  %-30s %8.3f s wall %8.3f s cpu %7.1f MB/s" % (label, figure["wall"], figure["cpu"],
                                                                   size / figure["wall"]))

    def against(label, figure, peer):
        lines.append("  %-30s x%.2f cpu, x%.2f wall" % (label, ratio(figure["cpu"], peer["cpu"]),
                                                        ratio(figure["wall"], peer["wall"])))

    lines.append("qdxpack benchmark: corpus %.1f MB (tar %.1f MB), medians of %d runs" % (mb, tar_mb, r["runs"]))
    d = r["decode"]
    lines.append("decoding one file (ratios: qdxpack over the peer)")
    row("gzip -dc", d["gzip_dc"], size=tar_mb)
    row("compress -dc", d["compress_dc"], size=tar_mb)
    row("qdxpack decompress", d["qdx_decompress"], size=tar_mb)
    against("qdxpack / compress -dc", d["qdx_decompress"], d["compress_dc"])
    against("qdxpack / gzip -dc", d["qdx_decompress"], d["gzip_dc"])
    e = r["extract"]
    lines.append("unpacking the tree")
    row("tar -xzf", e["tar_xzf"], size=mb)
    row("qdxpack extract", e["qdx_extract"], size=mb)
    against("qdxpack / tar -xzf", e["qdx_extract"], e["tar_xzf"])
    p = r["pack"]
    lines.append("packing (MB/s of input)")
    row("gzip -9", p["gzip_9"], size=tar_mb)
    row("compress", p["compress"], size=tar_mb)
    row("qdxpack create", p["qdx_create"], size=mb)
    if fast:
        row("qdxpack create --fast", p["qdx_create_fast"], size=mb)
    row("qdxpack compress (tar)", p["qdx_compress"], size=tar_mb)
    against("create / gzip -9", p["qdx_create"], p["gzip_9"])
    against("create / compress", p["qdx_create"], p["compress"])
    s = r["sizes"]
    lines.append("size (ratios: qdxpack over the peer)")
    for label, key in (("gzip -9 (tar)", "gzip_9"), ("tar.gz -9", "tar_gz"), ("compress (tar)", "compress"),
                       ("qdxpack compress (tar)", "qdx_compress"), ("qdxpack pack", "qdx_pack"),
                       ("qdxpack pack --fast", "qdx_pack_fast")):
        if key in s:
            lines.append("  %-30s %12d bytes %6.2f%% of input" % (label, s[key], 100.0 * s[key] / r["corpus_bytes"]))
    lines.append("  pack against gzip -9: x%.3f, against compress: x%.3f" %
                 (ratio(s["qdx_pack"], s["gzip_9"]), ratio(s["qdx_pack"], s["compress"])))
    if "qdx_pack_fast" in s:
        lines.append("  pack against --fast (greedy): %.2f%% smaller" % (100.0 * (1 - ratio(s["qdx_pack"], s["qdx_pack_fast"]))))
    m = r["memory_kib"]
    lines.append("memory (peak resident)")
    lines.append("  qdxpack extract, corpus       %8d KiB  (pack %d bytes)" % (m["extract"], m["pack_bytes"]))
    lines.append("  qdxpack extract, 4x corpus    %8d KiB  (pack %d bytes)" % (m["extract_4x"], m["pack_4x_bytes"]))
    lines.append("setup.exe: %s" % ("%d bytes" % r["setup_exe_bytes"] if r["setup_exe_bytes"] else "not built"))
    if "instructions" in r:
        i = r["instructions"]
        lines.append("instructions (callgrind) decoding one file")
        for label, key in (("gzip -dc", "gzip_dc"), ("compress -dc", "compress_dc"), ("qdxpack decompress", "qdx_decompress")):
            if i.get(key):
                lines.append("  %-30s %14d  (%.1f per output byte)" % (label, i[key], i[key] / r["tar_bytes"]))
        if i.get("qdx_decompress") and i.get("compress_dc"):
            lines.append("  qdxpack against compress -dc: x%.2f" % ratio(i["qdx_decompress"], i["compress_dc"]))
    lines.append("checks: " + ", ".join("%s %s" % (k, "same" if v else "DIFFERENT") for k, v in sorted(r["checks"].items())))
    return "\n".join(lines) + "\n"


def draw_chart(r, path):
    try:
        import matplotlib
        matplotlib.use("Agg")
        import matplotlib.pyplot as plt
    except ImportError:
        print("bench: no matplotlib (python3-matplotlib); chart not drawn")
        return
    d, e, p, s = r["decode"], r["extract"], r["pack"], r["sizes"]
    bars = [
        ("decode / compress -dc", ratio(d["qdx_decompress"]["cpu"], d["compress_dc"]["cpu"])),
        ("decode / gzip -dc", ratio(d["qdx_decompress"]["cpu"], d["gzip_dc"]["cpu"])),
        ("extract / tar -xzf", ratio(e["qdx_extract"]["cpu"], e["tar_xzf"]["cpu"])),
        ("create / compress", ratio(p["qdx_create"]["cpu"], p["compress"]["cpu"])),
        ("create / gzip -9", ratio(p["qdx_create"]["cpu"], p["gzip_9"]["cpu"])),
        ("pack size / compress", ratio(s["qdx_pack"], s["compress"])),
        ("pack size / gzip -9", ratio(s["qdx_pack"], s["gzip_9"])),
    ]
    fig, axis = plt.subplots(figsize=(8, 4.5))
    labels = [b[0] for b in bars][::-1]
    values = [b[1] for b in bars][::-1]
    colours = ["#4a7ab5" if "size" not in label else "#6aa56a" for label in labels]
    axis.barh(labels, values, color=colours)
    for y, v in enumerate(values):
        axis.text(v, y, " %.2f" % v, va="center")
    axis.axvline(1.0, color="black", linewidth=0.8)
    axis.axvline(2.5, color="#c04040", linewidth=0.8, linestyle="--", label="decode target 2.5")
    axis.set_xlabel("qdxpack over the peer (CPU time, or bytes); below 1 is better")
    axis.set_title("qdxpack against gzip and compress, %.0f MB corpus" % (r["corpus_bytes"] / 1e6))
    axis.legend(loc="lower right")
    axis.set_xlim(0, max(values) * 1.15)
    fig.tight_layout()
    fig.savefig(path, dpi=100)


if __name__ == "__main__":
    main()
