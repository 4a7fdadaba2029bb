# SPDX-License-Identifier: GPL-3.0-or-later
# The menu entry and the launcher it starts, for an installation in any
# folder: the paths they name are quoted as freedesktop.org's menu entries
# and the shell require, so that a prefix with blanks, quotes or dollar signs
# still works.
#
# Also a script, for the tests (all paths absolute):
#   cmake -DPROGRAM=<program> -DLAUNCHER=<launcher> -DAPP_ID=<id>
#         -DTEMPLATES=<folder> -DOUTPUT=<folder> -P menu_entry.cmake

# The text as one word of a POSIX shell command: in single quotes, where only
# a single quote needs care.
function(kelmora_shell_word text result)
    string(REPLACE "'" "'\\''" quoted "${text}")
    set(${result} "'${quoted}'" PARENT_SCOPE)
endfunction()

# The text as one argument of an Exec key: in double quotes, with '"', '`',
# '$' and '\' escaped by a backslash; then, as for every string value of the
# file, each backslash doubled; and '%' doubled, which would start a field
# code.
function(kelmora_exec_argument text result)
    string(REPLACE "\\" "\\\\" quoted "${text}")
    string(REPLACE "\"" "\\\"" quoted "${quoted}")
    string(REPLACE "`" "\\`" quoted "${quoted}")
    string(REPLACE "$" "\\$" quoted "${quoted}")
    string(REPLACE "\\" "\\\\" quoted "${quoted}")
    string(REPLACE "%" "%%" quoted "${quoted}")
    set(${result} "\"${quoted}\"" PARENT_SCOPE)
endfunction()

# Writes the launcher "kelmora-launcher", which starts the program, and the
# menu entry "<app id>.desktop", which starts the launcher, into the output
# folder.
function(kelmora_configure_menu_entry program launcher app_id templates output)
    kelmora_shell_word("${program}" KELMORA_PROGRAM_WORD)
    kelmora_exec_argument("${launcher}" KELMORA_LAUNCHER_ARGUMENT)
    set(KELMORA_APP_ID "${app_id}")
    configure_file(${templates}/kelmora-launcher.in ${output}/kelmora-launcher @ONLY)
    configure_file(${templates}/${app_id}.desktop.in ${output}/${app_id}.desktop @ONLY)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    kelmora_configure_menu_entry("${PROGRAM}" "${LAUNCHER}" "${APP_ID}" "${TEMPLATES}" "${OUTPUT}")
endif()
