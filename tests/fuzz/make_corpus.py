#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into OUT/<target>/.

The seeds are small hand-picked inputs: the codec's example lines, the line
readers' break rules, sortable lists with duplicates, whole runs, and job
files with option lists. The run
and record-list targets read their settings from the end of the input (the
fuzzer's data provider takes numbers from the back), so their seeds are text
followed by a few setting bytes.
"""
import hashlib
import pathlib
import sys

DQ = b'"'
SJIS = "東京,ｵｵｻｶ,あい,ｱ｢,全角　空白".encode("cp932")
# UTF-8 whose characters end in code page 932 lead bytes (市 E5 B8 82, い E3 81 84).
UTF8 = "大阪市,い,ｱ,\"港区, 東京\",ー".encode("utf-8")
BOM = b"\xef\xbb\xbf"

CODEC = [
    b"", b"  ", b"a,b,x", b" a , b ", b"a b,x", b"a\tb", b"a   b", SJIS,
    b"a,,b", b"a,  ,b", b",", b"a,", b"a, ", b", a",
    DQ + b"a,b" + DQ + b",x", b" " + DQ + b"a b" + DQ + b" ,x",
    DQ + b"a" + DQ + DQ + b"b" + DQ + b",x", DQ + DQ + b",x", DQ + DQ,
    DQ + b"a" + DQ + b" b", DQ + b"ab" + DQ + b"de,x", b"a" + DQ + b"b,x",
    DQ + b"abc", DQ + b"a" + DQ + DQ + b"b", b"a," + DQ, b"\x81,a",
    b"a\x00b,c", b"\x82\xa0\x82\xa2,\xa2", b"\x81", DQ + b"a b\x81",
    UTF8, b"b\x82,a", b"\xe5\xb8,\x82",
]

LINES = [
    b"", b"a\r\nb", b"a\r\nb\r\n", b"a\r\nb\r\n\r\n", b"a\n\rb", b"a\rb\r\nx",
    b"a\r\nb\x00c\r\nd", b"a\r\n\x1a", b"\x1aabc", b"x" * 300 + b"\r\ny",
    b"\xef\xbb\xbfbom,line\r\n", SJIS + b"\r\n" + SJIS,
    BOM + UTF8 + b"\r\n" + UTF8, UTF8 + b"\n" + SJIS, BOM, BOM + BOM + b"a",
]

def settings(*values):
    return bytes(values)

LISTS = [
    b"b,2\na,1\na,1\nc,3\n" + settings(1, 0, 0),
    b"x\nX\nx\n" + settings(0, 1, 0),
    b"abc\nABC\n" + settings(0, 1, 0),
    b"y\nx\ny\nz\nz\nz\n" + settings(1, 1, 0),
    b"k,\"a b\",c\nk,,c\n,k,c\n" + settings(0, 1, 1),
    SJIS + b"\n" + SJIS + b"\n" + "ｱｲｳ,カナ,漢字,x,y".encode("cp932") + settings(1, 1, 2),
    b"1,2,3\n1,2\n1,2,3\n" + settings(1, 1, 1),
    # Greek before half-width kana: the collator puts it after.
    b"\x83\x9f\n\xb1\n" + settings(0, 1, 0),
    UTF8 + b"\n" + "市い,ｶﾞ,カー,x,y".encode("utf-8") + b"\n" + UTF8 + settings(1, 1, 2),
    # An empty line in a list built in memory.
    b"a\n\nb\n" + settings(0, 1, 0),
]

RUNS = [
    b"b,2,x\r\na,1,y\r\na,1,y\r\n\\xc,3,z\r\n" + bytes(range(1, 33)),
    b"k,\xe8\x87\xb3\xe6\x80\xa5,1\r\nk,x,2\r\n" + bytes([7] * 32),
    SJIS + b"\r\n" + SJIS + b"\r\n\\x\\x" + bytes(range(40, 72)),
    b"a,b\r\na\r\n" + bytes([255] * 32),
    b"\"a,b\",c\r\n\"a,b\",c\r\nx,y\r\n" + bytes(range(200, 232)),
    BOM + "001,大阪府大阪市\r\n002,東京都港区\r\n001,大阪府大阪市\r\n".encode("utf-8")
    + bytes(range(1, 33)),
]

# The sort paths target takes every choice and record from the provider:
# seeds are byte patterns that make many records and many runs.
RUN_PATHS = [bytes(range(256)), bytes(range(255, -1, -1)) * 2, bytes([3, 1, 4, 1, 5, 9, 2, 6] * 64)]

# A job file, then after 0xFF the arguments, each ended by a NUL; "{job}"
# stands for the job's path.
TOKYO = "東京".encode("utf-8")
JOBS = [
    b"quellor-job 1\n--fields 3,1\n--sort 2:num:desc\n--duplicates\n--header\n--encoding sjis\n",
    b"quellor-job 1\n--where=1:equals:a b\n--or 2:starts:x\n--no-empty-output\n",
    BOM + b"quellor-job 1\r\n# month\r\n\r\n--and 1:ends:z\r\n",
    b"quellor-job 1\n--where 2:contains:" + TOKYO + b" \n",
    b"quellor-job 1\n--where 2:contains:" + TOKYO + "\u3000".encode("utf-8") + b"\n",
    b"quellor-job 1\n--duplicates yes\n\xff--job\0{job}\0--memory\0" + b"1M",
    b"quellor-job 1\n--sort 1\n\xff--duplicates\0@{job}\0a.csv\0--sort=2",
    b"\xff--encoding=UTF8\0--where\0" + b"1:contains: " + TOKYO + b"\0--fields=1,2\0--\0-x",
    b"quellor-job 1\n--memory 64K\n\xff@{job}\0--memory=1023K",
    b"quellor-job 2\n--sort 1\n",
    b"quellor-job 1\n--where 1:equals:a\n\xff@{job}\0--and\x001:equals:b\0--or=2:ends:c",
    b"\xff--expected-fields\x003\0--help\0--version\0@\0-",
]

TARGETS = {
    "field_codec_fuzz": CODEC,
    "line_files_fuzz": LINES + CODEC,
    "record_list_fuzz": LISTS,
    "run_fuzz": RUNS,
    "run_paths_fuzz": RUN_PATHS,

    "job_options_fuzz": JOBS,
}

def main():
    out = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "corpus")
    for target, seeds in TARGETS.items():
        folder = out / target
        folder.mkdir(parents=True, exist_ok=True)
        for seed in seeds:
            name = hashlib.sha1(seed).hexdigest()[:16]
            (folder / name).write_bytes(seed)
    return 0

if __name__ == "__main__":
    sys.exit(main())
