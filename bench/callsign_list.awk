# SPDX-License-Identifier: GPL-3.0-or-later
# The WSJT callsign list in awk, the yardstick for bench_export.
#   awk -v mode=all|fsk441 [-v heading=0] -f database_columns.awk \
#       -f callsign_list.awk database > CALLSIGN.TXT
# Byte-oriented: the lengths and cuts are right for ASCII callsigns and locators.

BEGIN {
    FS = ";"
    if (heading == "") heading = 1
    callCol = 1
    locCol = 3
}

{ sub(/\r$/, "") }

NR == 1 {
    if (heading + 0) findColumns()
    next
}

{
    # Fields repeat from the start when a line has fewer than the slot number.
    # A column that no heading names stays blank.
    loc = locCol > 0 ? unquote(slot(locCol)) : ""
    call = callCol > 0 ? unquote(slot(callCol)) : ""
    if (index(call, "/")) next
    if (mode == "fsk441") {
        up = toupper($0)
        if (!index(up, "FSK441") && !index(up, "JT44") && !index(up, "WSJT")) next
    }
    loc = tolower(loc)
    sub(/^ +/, "", loc)
    sub(/ +$/, "", loc)
    printf "%-7s%-6s\r\n", substr(call, 1, 7), toupper(substr(loc, 1, 2)) substr(loc, 3, 4)
}
