#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into corpus/<target>/ and the
dictionary ini.dict. The seeds are committed; run this again only to change them."""

import pathlib
import shutil

HERE = pathlib.Path(__file__).resolve().parent

TYPICAL = [
    ("parameters", [("id", "someone@example.net")]),
    ("misc", [("run-work-limit", "25"), ("run-time-limit", "12:30"),
              ("project-priority", "OGR,RC5=0,DES=0,CSC=0")]),
    ("triggers", [("restart-on-config-file-change", "yes"),
                  ("exit-flag-filename", "stop.now"),
                  ("pause-flag-filename", "/var/run/client.pause"),
                  ("pause-watch-plist", "game|video"),
                  ("pause-on-high-cpu-temp", "yes"),
                  ("cpu-temperature-thresholds", "90C:80C"),
                  ("pause-on-no-mains-power", "no")]),
    ("display", [("detached", "yes"), ("progress-indicator", "live-rate")]),
    ("processor-usage", [("max-threads", "4"), ("priority", "3")]),
    ("rc5", [("fetch-workunit-threshold", "100"), ("fetch-time-threshold", "24"),
             ("preferred-blocksize", "31"), ("core", "2")]),
    ("ogr", [("fetch-workunit-threshold", "50"), ("core", "1")]),
    ("buffers", [("buffer-only-in-memory", "no"), ("buffer-file-basename", "in"),
                 ("output-file-basename", "out"), ("checkpoint-filename", "ckpt"),
                 ("allow-update-from-altbuffer", "yes"),
                 ("alternate-buffer-directory", "/mnt/buffers"),
                 ("frequent-threshold-checks", "3"),
                 ("threshold-check-interval", "1:15")]),
    ("logging", [("log-file-type", "rotate"), ("log-file", "/var/log/client.log"),
                 ("log-file-limit", "weekly"), ("mail-log-max", "4096"),
                 ("mail-log-from", "from@example.net"), ("mail-log-dest", "to@example.net"),
                 ("mail-log-via", "smtp.example.net:587")]),
    ("networking", [("disabled", "no"), ("nettimeout", "120"), ("dialup-watcher", "active"),
                    ("interfaces-to-watch", "ppp0:eth1"), ("enable-start-stop", "yes"),
                    ("dialup-profile", "isp"), ("firewall-type", "http"),
                    ("firewall-host", "proxy.example.net:3128"), ("encoding", "uue"),
                    ("autofindkeyserver", "no"), ("nofallback", "true"),
                    ("keyserver", "keys.example.net:2064"),
                    ("firewall-auth", "dXNlcjpwYXNz")]),
]

FOREIGN = b"[client]\ncputype=7\n; kept as it is\n\n[rc5-64]\ncore = 3\n"


def ini(sections, eol=b"\n", overrides=None, final_eol=True):
    """The typical file with some values replaced (section, key) -> bytes."""
    overrides = overrides or {}
    lines = []
    for section, keys in sections:
        lines.append(b"[" + section.encode() + b"]")
        for key, value in keys:
            value = overrides.get((section, key), value.encode())
            if value is not None:
                lines.append(key.encode() + b"=" + value)
    text = eol.join(lines)
    return text + eol if final_eol else text


def with_value(section, key, value):
    return FOREIGN + ini(TYPICAL, overrides={(section, key): value})


def open_seeds():
    seeds = {
        "typical": FOREIGN + ini(TYPICAL),
        "typical_crlf": ini(TYPICAL, b"\r\n") + FOREIGN.replace(b"\n", b"\r\n"),
        "typical_cr": ini(TYPICAL, b"\r"),
        "typical_no_final_eol": FOREIGN + ini(TYPICAL, final_eol=False),
        "typical_bom": b"\xef\xbb\xbf" + ini(TYPICAL),
        "mixed_endings": b"[parameters]\r\nid=a@b.c\n[misc]\rrun-time-limit=1:2\r\n"
                         b"[client]\nx=1\r",
        "empty": b"",
        "preamble_and_comments": b"key=before any section\n; comment\n# other\n"
                                 b"[networking]\n;disabled=yes\n  disabled = yes  \n",
        "case_of_names": b"[NETWORKING]\nKeyServer=keys.example.net:\nAutoFindKeyServer=YES\n"
                         b"[Parameters]\nID=me@example.org\n",
        "duplicates": b"[misc]\nrun-work-limit=1\n[client]\na=b\n[MISC]\nrun-work-limit=2\n"
                      b"run-time-limit=3:4\nrun-time-limit=5:6\n",
        "header_without_bracket": b"[triggers\npause-on-high-cpu-temp=yes\n[ display ]\n"
                                  b"detached=yes\n",
        "quotes": ini(TYPICAL, overrides={
            ("logging", "log-file-type"): b'"no limit"',
            ("parameters", "id"): b"'quoted@example.net'",
            ("triggers", "exit-flag-filename"): b'"',
            ("networking", "firewall-host"): b"  'proxy:8080\"  ",
        }),
        "empty_values": b"[triggers]\nexit-flag-filename=\n[networking]\ndisabled=\n"
                        b"autofindkeyserver=\n[processor-usage]\nmax-threads=\n",
        "hex_numbers": ini(TYPICAL, overrides={
            ("processor-usage", "max-threads"): b"$4",
            ("processor-usage", "priority"): b"0x3",
            ("rc5", "core"): b"X1",
            ("rc5", "fetch-workunit-threshold"): b"$FFFFFFFF",
            ("rc5", "preferred-blocksize"): b"$1C",
            ("networking", "nettimeout"): b"0X3c",
            ("ogr", "core"): b"x0",
        }),
        "bad_duration": with_value("misc", "run-time-limit", b"2"),
        "bad_integer": with_value("processor-usage", "priority", b"abc"),
        "integer_out_of_range": with_value("rc5", "core", b"2147483648"),
        "signed_hex": with_value("rc5", "core", b"-$1"),
        "lenient_fallback": with_value("networking", "nettimeout", b"oops"),
        "long_value": with_value("parameters", "id", b"x" * 3000),
        "nul_bytes": b"[parameters]\nid=a\0b@c.d\n[misc]\nrun-work-limit=1\0\n",
        "bad_integer_with_nul": with_value("processor-usage", "priority", b"1\0x"),
    }
    for name, value in [("both", b"90C:80C"), ("kelvin_rankine", b"100k:90r"),
                        ("no_units", b"90:80"), ("pause_only", b"90C"),
                        ("resume_only", b":80F"), ("empty_resume", b"90C:"),
                        ("colon", b":"), ("letters", b"abcC:1"),
                        ("negative", b"600F:-5c"), ("empty", b""),
                        ("other_letter", b"90x:80"), ("lower_units", b"90f:80c")]:
        seeds["temperature_" + name] = with_value("triggers", "cpu-temperature-thresholds",
                                                  value)
    for name, value in [("user_only", b"dXNlcg=="), ("password_only", b"OnBhc3M="),
                        ("colon_in_password", b"dXNlcjpwYTpzcw=="), ("empty", b""),
                        ("bad_character", b"dXNl*"), ("padding_inside", b"dX=Nl"),
                        ("one_digit", b"dXNlc")]:
        seeds["credential_" + name] = with_value("networking", "firewall-auth", value)
    for name, (kind, limit) in {"no_limit": (b'"no limit"', b"1"),
                                "restart": (b"restart", b"5M"), "fifo": (b"fifo", b"abc"),
                                "rotate_days": (b"rotate", b"7"),
                                "rotate_daily": (b"rotate", b"daily"),
                                "rotate_monthly": (b"rotate", b"monthly"),
                                "rotate_minus_one": (b"rotate", b"-1")}.items():
        seeds["log_" + name] = FOREIGN + ini(TYPICAL, overrides={
            ("logging", "log-file-type"): kind, ("logging", "log-file-limit"): limit})
    seeds["many_foreign_sections"] = b"".join(
        b"[project-%d]\nkey=value %d\n\n" % (i, i) for i in range(60)) + ini(TYPICAL)
    return seeds


def int_seeds():
    values = ["0", "-0", "+0", "7", "2147483647", "2147483648", "-2147483648", "-2147483649",
              "$FFFFFFFF", "$100000000", "0x7fffffff", "X80000000", "x", "$", "0x", "-$1",
              "+0x1", "  12", "12 ", "\t12", "", "+", "-", "00000000000000000012",
              "$000000000001", "1e3", "0X1G", "99999999999999999999", " -7", "- 7", "12\0"]
    return {"int_%02d" % i: v.encode() for i, v in enumerate(values)}


def base64_seeds():
    values = [b"", b"Zg==", b"Zm8=", b"Zm9v", b"Zm9vYg==", b"Zm9vYmE=", b"Zm9vYmFy",
              b"dXNlcjpwYXNz", b"dXNl\r\ncjpw\nYXNz", b"dXNl*", b"dX=Nl", b"dXNlc", b"====",
              b"user\0pass word", b"\0only password", b" spaced user \0 spaced pass ",
              b"a:b\0c:d", bytes(range(256))]
    return {"base64_%02d" % i: v for i, v in enumerate(values)}


def dictionary():
    names = set()
    for section, keys in TYPICAL:
        names.add(section)
        names.update(key for key, _ in keys)
    tokens = sorted(names) + ["[", "]", "=", "\\x0d\\x0a", "\\x0d", ";", "\\x22", "'",
                              "\\xef\\xbb\\xbf", ":", "$", "0x"]
    return "".join('"%s"\n' % t for t in tokens)


def write(target, seeds):
    folder = HERE / "corpus" / target
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    for name, data in seeds.items():
        (folder / name).write_bytes(data)


def main():
    files = open_seeds()
    write("fuzz_open", files)
    write("fuzz_ini_reader", files)
    write("fuzz_int", int_seeds())
    write("fuzz_base64", base64_seeds())
    (HERE / "ini.dict").write_text(dictionary())


if __name__ == "__main__":
    main()
