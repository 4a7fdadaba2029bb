#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the program's coastline resource: GSHHG's low-resolution shore lines
# (every island) and its lakes of 300 km² and more, as GMT dumps them, encoded
# in the compact format that src/geo/coastlines.cpp reads, and written as a C++
# source file holding those bytes. Runs on the build host, also in the cross
# build for Windows.
# Usage: make_coastlines.sh <gmt> <GSHHG folder> <output.cpp>
set -eu
gmt=$1
gshhg=$2
output=$3
# GMT would look elsewhere for a file missing there, last on its server.
[ -f "$gshhg/binned_GSHHS_l.nc" ] || {
    echo "make_coastlines: no $gshhg/binned_GSHHS_l.nc" >&2
    exit 1
}

# Low resolution, simplified to within about 5 km: at the map's closest zoom,
# some 500 km across, crude's 25 km would put shores many pixels off, and
# intermediate's 1 km costs five times the points. GMT's lines end at the
# edges of its 20-degree bins; that costs a few bytes per piece, and the map
# draws them the same. GMT writes the file gmt.history into its working folder
# whatever it is told, so it works in a scratch folder.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/kelmora-coastlines.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
dump() { # <smallest area in km²>/<first level>/<last level>
    (cd "$scratch" && "$gmt" coast -Rd -Dl -A"$1" -W -M --DIR_GSHHG="$gshhg")
}
dump 0/1/1 >"$scratch/coast.txt"
dump 300/2/2 >>"$scratch/coast.txt"

# The format: the magic bytes "KMCL", the version 1, the number of lines and
# the number of points, then each line: its number of points (at least two),
# then per point its latitude and longitude in 1e-4 degrees as the change from
# the point before (the first point of all from 0, 0). Every number is a
# LEB128 varint; the changes are zigzag-coded (0, -1, 1, -2, ... as 0, 1, 2,
# 3, ...).
awk -v source="$gshhg/binned_GSHHS_l.nc" '
function units(degrees) {
    return degrees < 0 ? -int(-degrees * 10000 + 0.5) : int(degrees * 10000 + 0.5)
}
function end_line() {
    if (length_now >= 2) {
        line_length[++lines] = length_now
        points += length_now
    } else {
        stored -= length_now
    }
    length_now = 0
}
function emit(byte) {
    bytes[++byte_count] = byte
}
function emit_number(n) {
    while (n >= 128) {
        emit(n % 128 + 128)
        n = int(n / 128)
    }
    emit(n)
}
function emit_change(change) {
    emit_number(change < 0 ? -2 * change - 1 : 2 * change)
}
/^>/ { end_line(); next }
/^#/ { next }
NF >= 2 {
    lat = units($2)
    lon = units($1)
    if (lat < -900000 || lat > 900000 || lon < -1800000 || lon > 1800000) {
        print "make_coastlines: a point out of range: " $0 > "/dev/stderr"
        failed = 1
        exit 1
    }
    if (length_now > 0 && lat == latitude[stored] && lon == longitude[stored]) next
    latitude[++stored] = lat
    longitude[stored] = lon
    length_now++
}
END {
    if (failed) exit 1
    end_line()
    if (lines == 0) {
        print "make_coastlines: GMT gave no coastlines" > "/dev/stderr"
        exit 1
    }
    emit(75); emit(77); emit(67); emit(76); emit(1) # "KMCL", version 1
    emit_number(lines)
    emit_number(points)
    point = 0
    last_lat = 0
    last_lon = 0
    for (line = 1; line <= lines; line++) {
        emit_number(line_length[line])
        for (i = 0; i < line_length[line]; i++) {
            point++
            emit_change(latitude[point] - last_lat)
            emit_change(longitude[point] - last_lon)
            last_lat = latitude[point]
            last_lon = longitude[point]
        }
    }
    print "// SPDX-License-Identifier: LGPL-3.0-or-later"
    print "// Generated at build time by src/geo/make_coastlines.sh from GSHHG,"
    print "// " source ": " lines " lines, " points " points."
    print "#include \"geo/coastline_resource.h\""
    print ""
    print "namespace kelmora::geo {"
    print "namespace {"
    print "constexpr unsigned char kBytes[] = {"
    for (i = 1; i <= byte_count; i++) {
        printf "%s%d,", (i % 20 == 1 ? "    " : ""), bytes[i]
        if (i % 20 == 0 || i == byte_count) printf "\n"
    }
    print "};"
    print "} // namespace"
    print ""
    print "std::span<const unsigned char> builtInCoastlineBytes() {"
    print "    return kBytes;"
    print "}"
    print ""
    print "} // namespace kelmora::geo"
}' "$scratch/coast.txt" >"$output.new"
mv "$output.new" "$output"
