# Fails when an option that PROGRAM's --help names is missing from its manual page PAGE or
# from the bash completion COMPLETION.
#   cmake -DPROGRAM=... -DPAGE=... -DCOMPLETION=... -P HelpOptionsDocumented.cmake
execute_process(COMMAND "${PROGRAM}" --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR help STREQUAL "")
  message(FATAL_ERROR "${PROGRAM} --help failed (${status})")
endif()
# Options are words that start with one or two dashes and a letter, after a blank, a bracket,
# a comma or a bar ("-20 dB" and "command-line" are no options). Brackets would upset CMake's
# lists: they become blanks first.
string(REGEX REPLACE "[][|,;]" " " help "${help}")
string(REGEX MATCHALL "(^|[ \t\n])--?[A-Za-z][A-Za-z0-9-]*" found "${help}")
set(options)
foreach(match IN LISTS found)
  string(STRIP "${match}" option)
  list(APPEND options "${option}")
endforeach()
list(REMOVE_DUPLICATES options)
if(NOT options)
  message(FATAL_ERROR "no option found in the --help text of ${PROGRAM}")
endif()

# The page as a reader sees it: roff's "\-" is a dash and font changes vanish.
file(READ "${PAGE}" page)
string(REPLACE "\\-" "-" page "${page}")
string(REGEX REPLACE "\\\\f[BIRP]" "" page "${page}")
file(READ "${COMPLETION}" completion)

set(missing)
foreach(option IN LISTS options)
  foreach(where page completion)
    # The option as a whole word: not followed by more of a name ("--edx" is not "--edx-table").
    string(REGEX MATCH "${option}([^A-Za-z0-9-]|$)" hit "${${where}}")
    if(NOT hit)
      list(APPEND missing "${option} (${where})")
    endif()
  endforeach()
endforeach()
if(missing)
  message(FATAL_ERROR "${PROGRAM}: options of --help not documented: ${missing}")
endif()
list(LENGTH options count)
message(STATUS "${PROGRAM}: ${count} options documented")
