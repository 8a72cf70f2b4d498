# The reliability stages: CTest tests labelled reliability, each a script of
# this folder run in the main build directory. The sanitizer stages build
# their own trees from the presets asan and tsan (CMakePresets.json); the
# real-time ones run the show's clock fast on an X server of their own.
add_executable(vesk-close-window ${CMAKE_CURRENT_LIST_DIR}/close_window.cpp)
find_package(X11 REQUIRED)
target_link_libraries(vesk-close-window PRIVATE X11::X11)
vesk_warnings(vesk-close-window)
set_target_properties(vesk-close-window PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

function(vesk_reliability_test name)
  add_test(NAME reliability.${name} COMMAND ${ARGN} WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(reliability.${name} PROPERTIES LABELS reliability TIMEOUT 1800)
endfunction()

set(dir ${CMAKE_CURRENT_LIST_DIR})
vesk_reliability_test(bad_assets ${dir}/bad-assets.sh)
vesk_reliability_test(error_boxes ${dir}/error-boxes.sh)
vesk_reliability_test(window ${dir}/window.sh)
vesk_reliability_test(no_display ${dir}/no-display.sh)
vesk_reliability_test(memcheck ${dir}/memcheck.sh)
vesk_reliability_test(tsan ${dir}/sanitizer.sh tsan)
vesk_reliability_test(asan_build ${dir}/sanitizer.sh build asan)
vesk_reliability_test(asan_unit ${dir}/sanitizer.sh unit)
vesk_reliability_test(asan_show ${dir}/sanitizer.sh show)
# The ASan build is the longest stage: start it first. Its tests follow it.
set_tests_properties(reliability.asan_build PROPERTIES FIXTURES_SETUP asan COST 1000)
# The builds take minutes on a quiet machine, many more on a shared one.
set_tests_properties(reliability.asan_build reliability.tsan PROPERTIES TIMEOUT 2400)
set_tests_properties(reliability.asan_unit reliability.asan_show PROPERTIES FIXTURES_REQUIRED asan)
