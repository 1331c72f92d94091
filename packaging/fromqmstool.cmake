# Writes OUTPUT from what the built qmstool (QMSTOOL) prints for OPTION:
# with TEMPLATE, the template with the line @QMSTOOL_SYNOPSIS@ replaced by it;
# without, the text itself. So the man page's synopsis and the shell
# completion come from the commands' own descriptions.
#
# cmake -DQMSTOOL=... -DOPTION=... -DOUTPUT=... [-DTEMPLATE=...] -P fromqmstool.cmake
execute_process(COMMAND ${QMSTOOL} ${OPTION}
                OUTPUT_VARIABLE text ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR text STREQUAL "")
    message(FATAL_ERROR "${QMSTOOL} ${OPTION} failed (${status}): ${errors}")
endif()
if(TEMPLATE)
    file(READ ${TEMPLATE} page)
    string(FIND "${page}" "@QMSTOOL_SYNOPSIS@\n" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "${TEMPLATE} has no line @QMSTOOL_SYNOPSIS@")
    endif()
    string(REPLACE "@QMSTOOL_SYNOPSIS@\n" "${text}" text "${page}")
endif()
file(WRITE ${OUTPUT} "${text}")
