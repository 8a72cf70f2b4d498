# vesk-cue-check, beside the show in the build directory, for the tests that
# record the show's sound and for scripts/bench.sh.
add_executable(vesk-cue-check ${CMAKE_CURRENT_LIST_DIR}/cue_check.cpp)
target_link_libraries(vesk-cue-check PRIVATE vesk_test_support)
set_target_properties(vesk-cue-check PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
vesk_warnings(vesk-cue-check)
