# Fails when any C++ file of the project is not formatted with the project's .clang-format.
file(GLOB_RECURSE files
     ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/src/*.h
     ${SOURCE_DIR}/app/*.cpp ${SOURCE_DIR}/app/*.h
     ${SOURCE_DIR}/tools/*.cpp ${SOURCE_DIR}/tools/*.h
     ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/tests/*.h
     ${SOURCE_DIR}/bench/*.cpp ${SOURCE_DIR}/bench/*.h)
set(bad "")
foreach(file ${files})
    execute_process(COMMAND ${CLANG_FORMAT} --dry-run -Werror ${file} RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
    if(NOT rc EQUAL 0)
        list(APPEND bad ${file})
    endif()
endforeach()
if(bad)
    string(REPLACE ";" "\n  " bad "${bad}")
    message(FATAL_ERROR "Not clang-formatted:\n  ${bad}")
endif()
