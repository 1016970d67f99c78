# Registers every behaviour case (a folder in a folder of its concern) as a test of its own,
# cases/<concern>/<name>, run by the one driver against this build's program, so that a failure is
# named and "ctest -R" picks cases. A case that only one build can show (its file "only") is left
# to that build. Arguments: the build ("native" or "windows"), the program, then the driver's
# options. The Windows cases share one Wine prefix, so they run one at a time. With the build
# "preview" and this build's preview, every case is a test preview/<concern>/<name>, which the
# driver skips, saying why, where the preview cannot take the case.
function(add_case_tests build program)
    set(here ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
    # A case folder left beside the concern folders would never run, or its folders would.
    file(GLOB stray LIST_DIRECTORIES false ${here}/*/*)
    if(stray)
        message(FATAL_ERROR "Not in a case folder (cases sit in tests/cases/CONCERN/NAME): ${stray}")
    endif()
    file(GLOB folders LIST_DIRECTORIES true CONFIGURE_DEPENDS ${here}/*/*)
    foreach(folder IN LISTS folders)
        if(NOT IS_DIRECTORY ${folder})
            continue()
        endif()
        if(EXISTS ${folder}/only AND NOT build STREQUAL preview)
            file(STRINGS ${folder}/only only LIMIT_COUNT 1)
            string(STRIP "${only}" only)
            if(NOT only STREQUAL build)
                continue()
            endif()
        endif()
        file(RELATIVE_PATH name ${here} ${folder})
        set(test cases/${name})
        if(build STREQUAL preview)
            set(test preview/${name})
        endif()
        add_test(NAME ${test}
                 COMMAND ${Python3_EXECUTABLE} ${here}/run_cases.py ${program} ${name} ${ARGN})
        if(build STREQUAL windows)
            set_tests_properties(${test} PROPERTIES RUN_SERIAL TRUE)
        elseif(build STREQUAL preview)
            set_tests_properties(${test} PROPERTIES SKIP_RETURN_CODE 77)
        endif()
    endforeach()
endfunction()
