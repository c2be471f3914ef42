# Counts the SSE2 paths' signature instruction (pmovmskb, which gathers a comparison's byte mask
# and which the plain code never needs) in the libraries given: the build with them must have it,
# the build without them none. Run as cmake -DOBJDUMP=... -DEXPECT=present|absent
# -DLIBRARIES=a;b -P sse2_paths_check.cmake.
set(found "")
foreach(library IN LISTS LIBRARIES)
    if(NOT EXISTS ${library})
        message(FATAL_ERROR "No library ${library}")
    endif()
    execute_process(COMMAND ${OBJDUMP} -d --no-show-raw-insn ${library}
                    COMMAND grep -c -w pmovmskb
                    OUTPUT_VARIABLE count OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(count GREATER 0)
        get_filename_component(name ${library} NAME)
        list(APPEND found "${name}: ${count}")
    endif()
endforeach()
if(EXPECT STREQUAL "absent" AND found)
    message(FATAL_ERROR "The build without the SSE2 paths contains SSE2 code (${found})")
elseif(EXPECT STREQUAL "present" AND NOT found)
    message(FATAL_ERROR "The build with the SSE2 paths contains none")
endif()
message(STATUS "SSE2 code as expected (${EXPECT}): ${found}")
