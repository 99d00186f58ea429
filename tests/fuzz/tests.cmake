# The fuzz harnesses of tools/fuzz, when clang++-14 with libFuzzer is there: fuzz_build makes a
# fuzzing build of the project with clang in build/fuzz (the libraries instrumented, the harnesses
# linking them), then each runs for a short fixed time on its corpus in tests/data/fuzz, which holds
# the seeds and every input that once found a fault.
find_program(VORN_FUZZ_CXX NAMES clang++-14)
if(VORN_FUZZ_CXX AND NOT DEFINED VORN_FUZZ_USABLE)
    set(check ${CMAKE_CURRENT_BINARY_DIR}/fuzz_check)
    file(WRITE ${check}.cpp "extern \"C\" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n")
    execute_process(COMMAND ${VORN_FUZZ_CXX} -fsanitize=fuzzer,address,undefined ${check}.cpp -o ${check}
                    RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
    if(rc EQUAL 0)
        set(VORN_FUZZ_USABLE ON CACHE INTERNAL "clang++-14 links libFuzzer with the sanitizers")
    else()
        set(VORN_FUZZ_USABLE OFF CACHE INTERNAL "clang++-14 links libFuzzer with the sanitizers")
    endif()
endif()

if(VORN_FUZZ_CXX AND VORN_FUZZ_USABLE)
    set(fuzz_dir ${CMAKE_BINARY_DIR}/fuzz)
    set(fuzz_source ${PROJECT_SOURCE_DIR}/tools/fuzz)
    add_test(NAME fuzz_build
             COMMAND ${CMAKE_COMMAND} -DBINARY_DIR=${fuzz_dir} -DCXX=${VORN_FUZZ_CXX} -DGENERATOR=${CMAKE_GENERATOR}
                     -DLAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER} -DWERROR=${VORN_WERROR} -P ${fuzz_source}/BuildFuzz.cmake)
    set_tests_properties(fuzz_build PROPERTIES FIXTURES_SETUP vorn_fuzz TIMEOUT 1800 LABELS fuzz)
    foreach(name seqtext markup figure ini keycode)
        # New inputs go to the build tree's own corpus; the committed one is only read.
        file(MAKE_DIRECTORY ${fuzz_dir}/corpus/${name} ${fuzz_dir}/artifacts)
        add_test(NAME fuzz_${name}
                 COMMAND ${fuzz_dir}/fuzz_${name} -max_total_time=12 -timeout=10 -rss_limit_mb=2560
                         -dict=${fuzz_source}/${name}.dict -artifact_prefix=${fuzz_dir}/artifacts/${name}-
                         ${fuzz_dir}/corpus/${name} ${PROJECT_SOURCE_DIR}/tests/data/fuzz/${name})
        set_tests_properties(fuzz_${name} PROPERTIES FIXTURES_REQUIRED vorn_fuzz TIMEOUT 300 LABELS fuzz
                             ENVIRONMENT "LSAN_OPTIONS=suppressions=${fuzz_source}/lsan.supp;QT_QPA_PLATFORM=offscreen")
    endforeach()
endif()
