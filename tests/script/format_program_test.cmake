# kestrane-format run as a program, as a build check or an editor's save hook runs it: a file with
# a Japanese name formatted in place, --check before and after, standard input to standard output
# byte for byte, --syntax on a script with a stray Next and on scripts that run, a bad option and
# the version. ctest runs it with PROGRAM, EMULATOR (empty for a native build), DATA (messy.vbs,
# formatted.vbs, scripts/ and styled/), WORK, a folder of its own, and VERSION.

# Runs the program in WORK with the arguments after expected_status. Its standard output is kept
# in output.txt (a variable would not keep its line breaks) and in the variable output; INPUT names
# a file for its standard input.
function(run_program expected_status)
    cmake_parse_arguments(PARSE_ARGV 1 run "" "INPUT" "")
    set(input_option)
    if(run_INPUT)
        set(input_option INPUT_FILE ${run_INPUT})
    endif()
    execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${run_UNPARSED_ARGUMENTS}
                    WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status
                    OUTPUT_FILE ${WORK}/output.txt ERROR_VARIABLE errors ${input_option})
    file(READ ${WORK}/output.txt output)
    if(NOT status EQUAL expected_status)
        message(FATAL_ERROR "kestrane-format ${run_UNPARSED_ARGUMENTS}: exit status ${status}, "
                            "expected ${expected_status}\n${output}${errors}")
    endif()
    set(output "${output}" PARENT_SCOPE)
endfunction()

function(expect_same_bytes file expected_file)
    file(READ ${file} content HEX)
    file(READ ${expected_file} expected HEX)
    if(NOT content STREQUAL expected)
        message(FATAL_ERROR "${file} holds ${content}, expected ${expected}")
    endif()
endfunction()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY_FILE ${DATA}/messy.vbs ${WORK}/整形.vbs)

run_program(1 --check 整形.vbs)
if(NOT output MATCHES "整形.vbs")
    message(FATAL_ERROR "--check does not list the file: ${output}")
endif()
run_program(0 整形.vbs)
expect_same_bytes(${WORK}/整形.vbs ${DATA}/formatted.vbs)
run_program(0 --check 整形.vbs)

run_program(0 INPUT ${DATA}/messy.vbs)
expect_same_bytes(${WORK}/output.txt ${DATA}/formatted.vbs)

file(WRITE ${WORK}/stray.vbs "x = 1\r\nNext\r\n")
run_program(1 --syntax stray.vbs)
if(NOT output MATCHES "stray\\.vbs\\(2,1\\): Next ")
    message(FATAL_ERROR "--syntax answers: ${output}")
endif()
run_program(0 --syntax 整形.vbs)
# Scripts in the styles people write them in, and the sample: none has a problem or a warning.
file(COPY ${DATA}/scripts ${DATA}/../../../examples/sample.vbs DESTINATION ${WORK}/real)
run_program(0 --syntax --warnings real)
if(NOT output STREQUAL "")
    message(FATAL_ERROR "--warnings on scripts that run answers: ${output}")
endif()
# Warnings alone fail the run only when asked to.
file(WRITE ${WORK}/names.vbs "Option Explicit\r\nx = 1\r\n")
run_program(0 --warnings names.vbs)
if(NOT output MATCHES "^names\\.vbs\\(2,1\\): 警告: 変数 'x' が宣言されていません\r?\n$")
    message(FATAL_ERROR "--warnings answers: ${output}")
endif()
run_program(1 --fail-on-warnings names.vbs)
# Scripts indented by hand in two spaces, four spaces and tabs, with continued lines aligned by
# hand: each is formatted in its own unit already, and --check leaves all of them alone.
file(COPY ${DATA}/styled DESTINATION ${WORK})
run_program(0 --check --diff styled)
# A wrongly indented block is mended in the script's own unit; a project's .editorconfig decides
# the unit over it.
file(READ ${DATA}/styled/four_wmi_processes.vbs kept)
string(REPLACE "\n        WScript.Echo \"   \"" "\n  WScript.Echo \"   \"" broken "${kept}")
file(WRITE ${WORK}/project/broken.vbs "${broken}")
run_program(0 project/broken.vbs)
string(REPLACE "\n" "\r\n" mended "${kept}")
file(WRITE ${WORK}/mended.vbs "${mended}")
expect_same_bytes(${WORK}/project/broken.vbs ${WORK}/mended.vbs)
file(WRITE ${WORK}/project/.editorconfig "root = true\n[*.vbs]\nindent_style = tab\n")
run_program(1 --check project/broken.vbs)

run_program(2 --no-such-option)
run_program(0 --version)
if(NOT output MATCHES "^kestrane-format ${VERSION}\r?\n$")
    message(FATAL_ERROR "--version answers: ${output}")
endif()
