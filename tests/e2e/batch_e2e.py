#!/usr/bin/python3
"""End to end: vantorel-bill --batch as a process. Records from a pipe, or a closed standard
input; SIGINT and SIGTERM sent to the running batch (the summary counts what is in the
folder, no partial file is left); the progress line on a terminal (a pty) and none on a
pipe; nothing on standard error but the summary when XDG_RUNTIME_DIR is unset, as under cron.

Usage: batch_e2e.py VANTOREL_BILL WORK_FOLDER
"""
import os
import pty
import shutil
import signal
import stat
import subprocess
import sys

RECORD = b'{"Make": "Ford", "Name Of Buyer": "Orwen Palk"}\n'


def environment(work):
    temp = os.path.join(work, "tmp")
    os.makedirs(temp, exist_ok=True)
    return dict(os.environ, TEMP=temp, QT_QPA_PLATFORM="offscreen")


def leftovers(folder):
    """Temporary files: the outputs' own (dot files) and the documents' in TEMP."""
    return [n for n in os.listdir(folder) if n.startswith(".")]


def from_a_pipe(bill, work):
    out = os.path.join(work, "piped")
    done = subprocess.run([bill, "--batch", "-", "--out", out], input=RECORD * 2 + b"\n",
                          capture_output=True, env=environment(work))
    assert done.returncode == 0, done.stderr
    assert sorted(os.listdir(out)) == ["000001.doc", "000002.doc"], os.listdir(out)
    assert b"made 2, failed 0" in done.stderr, done.stderr
    assert b"\r" not in done.stderr, "no progress line when standard error is no terminal"


def closed_standard_input(bill, work):
    """Standard input closed (`<&-`): said at once, status 2, nothing made; the batch does not
    wait on whatever file the program opens next under its number."""
    out = os.path.join(work, "closed")
    for command in ([bill, "--batch", "-", "--out", out], [bill, "-", "--doc", out + ".doc"]):
        done = subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True,
                              env=environment(work), preexec_fn=lambda: os.close(0))
        assert done.returncode == 2, (command, done.returncode, done.stderr)
        assert b"standard input: Bad file descriptor" in done.stderr, done.stderr
        assert not os.path.exists(out) and not os.path.exists(out + ".doc")


def same_bytes_in_two_processes(bill, work):
    """Two processes (each with its own hash seed and clock), one and three workers."""
    records = os.path.join(work, "twice.jsonl")
    with open(records, "wb") as f:
        f.write(RECORD * 4)
    made = []
    for jobs in ("1", "3"):
        out = os.path.join(work, "twice-" + jobs)
        env = dict(environment(work), SOURCE_DATE_EPOCH="1700000000")
        subprocess.run([bill, "--batch", records, "--out", out, "--pdf", "--png", "--dpi", "20",
                        "--jobs", jobs], check=True, capture_output=True, env=env)
        made.append({n: open(os.path.join(out, n), "rb").read() for n in os.listdir(out)})
    assert len(made[0]) == 12 and made[0] == made[1], sorted(made[0])
    info = subprocess.run(["pdfinfo", os.path.join(work, "twice-1", "000001.pdf")],
                          capture_output=True, text=True, check=True).stdout
    assert "Tue Nov 14 22:13:20 2023" in info, info  # the batch's time, not the clock's


def stopped(bill, work, number, name, status, backlog):
    """A bad line and three records into the pipe; once the bad line is reported, the reader
    has taken it and waits on the silent pipe, or, with a backlog of many more records
    written after it, waits for room in the full queue: then the signal."""
    out = os.path.join(work, f"stopped-{name}-{backlog}")
    env = environment(work)
    child = subprocess.Popen([bill, "--batch", "-", "--out", out, "--jobs", "2"],
                             stdin=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
    child.stdin.write(b"not a record\n" + RECORD * 3)
    child.stdin.flush()
    said = b""
    while b"line 1:" not in said:
        piece = child.stderr.readline()
        assert piece, f"the batch ended early: {said!r}"
        said += piece
    child.stdin.write(RECORD * backlog)
    child.stdin.flush()
    child.send_signal(number)
    said += child.stderr.read()
    child.stdin.close()
    assert child.wait() == status, (child.returncode, said)
    docs = [n for n in os.listdir(out) if n.endswith(".doc")]
    summary = f"stopped by {name}; made {len(docs)}, failed 1, in ".encode()
    assert summary in said, said
    assert not leftovers(out), leftovers(out)
    assert not os.listdir(env["TEMP"]), os.listdir(env["TEMP"])


def after_a_kill(bill, work):
    """SIGKILL leaves what was being written; the next batch removes, at its start, what no
    running process holds and is ours (planted here too, so that there is always some), and
    nothing else."""
    out, env = os.path.join(work, "killed"), environment(work)
    child = subprocess.Popen([bill, "--batch", "-", "--out", out, "--jobs", "2", "--pdf"],
                             stdin=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
    child.stdin.write(b"not a record\n" + RECORD * 50)
    child.stdin.flush()
    while b"line 1:" not in child.stderr.readline():
        pass
    child.kill()
    child.wait()
    planted = {out: [".vantorel-0123456789abcdef.tmp"], env["TEMP"]: ["wendlo12345678.doc"]}
    for folder, names in planted.items():
        for name in names + ["keep.vantorel"]:
            open(os.path.join(folder, name), "wb").close()
    subprocess.run([bill, "--batch", "-", "--out", out], input=RECORD, check=True,
                   capture_output=True, env=env)
    assert not leftovers(out), leftovers(out)
    assert os.listdir(env["TEMP"]) == ["keep.vantorel"], os.listdir(env["TEMP"])
    assert os.path.exists(os.path.join(out, "keep.vantorel"))
    os.remove(os.path.join(env["TEMP"], "keep.vantorel"))


def on_a_terminal(bill, work):
    records = os.path.join(work, "sales.jsonl")
    with open(records, "wb") as f:
        f.write(RECORD * 25)
    out = os.path.join(work, "shown")
    master, slave = pty.openpty()
    child = subprocess.Popen([bill, "--batch", records, "--out", out], stderr=slave,
                             stdout=subprocess.DEVNULL, env=environment(work))
    os.close(slave)
    shown = b""
    while True:
        try:
            piece = os.read(master, 4096)
        except OSError:  # the child closed the terminal
            break
        if not piece:
            break
        shown += piece
    os.close(master)
    assert child.wait() == 0, shown
    assert b"\r\x1b[K" in shown, shown  # the line is redrawn in place
    assert b"vantorel-bill: 25/25 lines, " in shown, shown  # done of the counted total
    assert b"made 25, failed 0, in " in shown, shown


def without_a_runtime_folder(bill, work):
    """XDG_RUNTIME_DIR unset: the engines register in the private folder under TMPDIR, made
    0700, and nothing is said about it; a folder of that name open to others is left alone
    (the engines then do without a registry)."""
    tmpdir = os.path.join(work, "tmpdir")
    os.makedirs(tmpdir)
    env = dict(environment(work), TMPDIR=tmpdir)
    env.pop("XDG_RUNTIME_DIR", None)
    record = os.path.join(work, "one.json")
    with open(record, "wb") as f:
        f.write(RECORD)
    private = os.path.join(tmpdir, f"vantorel-{os.geteuid()}")
    # The document made in the private folder too (TEMP unset), then in TEMP.
    for name, more in [("private", {"TEMP": ""}), ("temp", {})]:
        done = subprocess.run([bill, record, "--doc", os.path.join(work, name + ".doc"), "--pdf",
                               os.path.join(work, name + ".pdf")],
                              capture_output=True, env=dict(env, **more))
        assert done.returncode == 0 and done.stderr == b"", (name, done.stderr)
    status = os.lstat(private)
    assert stat.S_ISDIR(status.st_mode) and stat.S_IMODE(status.st_mode) == 0o700, status
    assert status.st_uid == os.geteuid() and not os.listdir(private), os.listdir(private)

    records = os.path.join(work, "three.jsonl")
    with open(records, "wb") as f:
        f.write(RECORD * 3)
    out = os.path.join(work, "quiet")
    done = subprocess.run([bill, "--batch", records, "--out", out, "--jobs", "3"],
                          capture_output=True, env=env)
    assert done.returncode == 0, done.stderr
    lines = done.stderr.splitlines()
    assert len(lines) == 1 and b"made 3, failed 0" in lines[0], done.stderr

    os.chmod(private, 0o755)
    try:
        done = subprocess.run([bill, record, "--doc", os.path.join(work, "open.doc")],
                              capture_output=True, env=env)
        # Qt is not shown a folder that is not private, and says so; the bill is made.
        assert done.returncode == 0, done.stderr
        assert not os.listdir(private), os.listdir(private)
    finally:
        os.chmod(private, 0o700)


def main():
    bill, work = sys.argv[1], sys.argv[2]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    from_a_pipe(bill, work)
    closed_standard_input(bill, work)
    same_bytes_in_two_processes(bill, work)
    for number, name, status in [(signal.SIGINT, "SIGINT", 130), (signal.SIGTERM, "SIGTERM", 143)]:
        for backlog in (0, 300):
            stopped(bill, work, number, name, status, backlog)
    after_a_kill(bill, work)
    on_a_terminal(bill, work)
    without_a_runtime_folder(bill, work)
    print("vantorel-bill --batch end to end: OK")


if __name__ == "__main__":
    main()
