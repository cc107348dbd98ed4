# Every command and option that zerkon-cli's --help lists is in the man page and in the bash completion, so neither
# falls behind the program.
#   cmake -DPROGRAM=zerkon-cli -DMAN_PAGE=zerkon-cli.1 -DCOMPLETION=zerkon-cli.bash -P help-agrees.cmake
execute_process(COMMAND "${PROGRAM}" --help OUTPUT_VARIABLE help COMMAND_ERROR_IS_FATAL ANY)
string(REGEX REPLACE ".*\nCommands:\n" "" listing "${help}")
string(REGEX REPLACE "\n\n.*" "" listing "${listing}")
string(REGEX MATCHALL "(^|\n)  [a-z]+" commands "${listing}")
list(TRANSFORM commands REPLACE "^\n?  " "")
if(NOT commands)
    message(FATAL_ERROR "no commands found in the help:\n${help}")
endif()
foreach(command IN LISTS commands)
    execute_process(COMMAND "${PROGRAM}" ${command} --help OUTPUT_VARIABLE command_help COMMAND_ERROR_IS_FATAL ANY)
    string(APPEND help "${command_help}")
endforeach()
string(REGEX MATCHALL "--[a-z][a-z-]*" options "${help}")
list(REMOVE_DUPLICATES options)

file(READ "${MAN_PAGE}" man_page)
string(REPLACE "\\-" "-" man_page "${man_page}") # roff writes a hyphen as \-
file(READ "${COMPLETION}" completion)
foreach(word IN LISTS commands options)
    foreach(document man_page completion)
        string(FIND "${${document}}" "${word}" at)
        if(at EQUAL -1)
            message(SEND_ERROR "the ${document} does not mention ${word}")
        endif()
    endforeach()
endforeach()
