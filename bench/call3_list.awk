# SPDX-License-Identifier: GPL-3.0-or-later
# The update of WSJT-X's look-up list CALL3.TXT in awk, the yardstick for
# bench_call3. It does the same merge for lists of well-formed CR LF lines:
#   awk -v date=D -v name=N -v head=H -v tail=T -f database_columns.awk \
#       -f call3_list.awk database list |
#       sort -s -t, -k1,1 > S; cat H S T > CALL3.TXT
# with LC_ALL=C. Station lines go to standard output for the sort, the
# comment lines (with the update's own line) to H, the ZZZZ lines to T.

BEGIN {
    FS = ";"
    own = "// Kelmora-Database-Viewer update "
    callCol = 1
    locCol = 3
}

# The database: the first valid station of each callsign.
FNR == NR {
    sub(/\r$/, "")
    if (FNR == 1) { findColumns(); next }
    call = unquote(slot(callCol))
    if (index(call, "/")) next
    call = trim(call)
    if (length(call) < 3 || length(call) > 12 || call !~ /^[A-Za-z0-9]+$/) next
    if (toupper(substr(call, 1, 4)) == "ZZZZ") next
    loc = trim(unquote(slot(locCol)))
    if (loc !~ /^[A-Ra-r][A-Ra-r][0-9][0-9]([A-Xa-x][A-Xa-x])?$/) next
    call = toupper(call)
    if (!(call in grid)) grid[call] = toupper(loc)
    next
}

# The list.
{
    sub(/\r$/, "")
    if (substr($0, 1, length(own)) == own) next
    if (substr($0, 1, 2) == "//") {
        comments[++commentCount] = $0
        if (!versionLine && substr($0, 1, 10) == "// Version") versionLine = commentCount
        next
    }
    if (substr($0, 1, 4) == "ZZZZ") { ends[++endCount] = $0; next }
    i = index($0, ",")
    key = i ? substr($0, 1, i - 1) : $0
    if (key in grid) {
        taken[key] = 1
        rest = i ? substr($0, i + 1) : ""
        j = index(rest, ",")
        field = j ? substr(rest, 1, j - 1) : rest
        # Kept where it holds the locator and the comma after it; a locator
        # in another letter case is rewritten but has not moved.
        if (!(i && j && field == grid[key])) {
            if (toupper(field) != grid[key]) changed[key] = 1
            $0 = key "," grid[key] (i && j ? substr(rest, j) : ",")
        }
    }
    print $0 "\r"
}

END {
    for (call in grid) {
        if (!(call in taken)) { print call "," grid[call] ",,,\r"; added++ }
    }
    changedCount = 0
    for (call in changed) changedCount++
    ownLine = own date " from " name ": " (added + 0) " added, " changedCount " changed"
    if (!versionLine) print ownLine "\r" > head
    for (k = 1; k <= commentCount; k++) {
        print comments[k] "\r" > head
        if (k == versionLine) print ownLine "\r" > head
    }
    printf "" > tail
    for (k = 1; k <= endCount; k++) print ends[k] "\r" > tail
}

function trim(s) {
    sub(/^ +/, "", s)
    sub(/ +$/, "", s)
    return s
}
